#pragma once

#include <QByteArray>

#include <openssl/ssl.h>

namespace kelvane::plexant {

// The check of a server's certificate chain as the SSL policy of the old platform made it:
// the first problem found becomes a policy status (0 = none), unless the checks to ignore
// leave it out. Installed on an SSL context, it records the status during the handshake.
class CertificatePolicy {
public:
    // Policy statuses.
    static constexpr quint32 Revoked = 0x80092010;
    static constexpr quint32 RevocationOffline = 0x80092013;
    static constexpr quint32 BadSignature = 0x80096004;
    static constexpr quint32 BasicConstraints = 0x80096019;
    static constexpr quint32 Expired = 0x800B0101;
    static constexpr quint32 ValidityPeriodNesting = 0x800B0102;
    static constexpr quint32 Role = 0x800B0103;
    static constexpr quint32 Purpose = 0x800B0106;
    static constexpr quint32 UntrustedRoot = 0x800B0109;
    static constexpr quint32 Chaining = 0x800B010A;
    static constexpr quint32 ExplicitlyRevoked = 0x800B010C;
    static constexpr quint32 UntrustedTestRoot = 0x800B010D;
    static constexpr quint32 RevocationFailure = 0x800B010E;
    static constexpr quint32 NameMismatch = 0x800B010F;
    static constexpr quint32 WrongUsage = 0x800B0110;

    // Checks to ignore (the security flags of the SSL policy).
    static constexpr quint32 IgnoreRevocation = 0x80;
    static constexpr quint32 IgnoreUnknownAuthority = 0x100;
    static constexpr quint32 IgnoreWrongUsage = 0x200;
    static constexpr quint32 IgnoreName = 0x1000;
    static constexpr quint32 IgnoreDate = 0x2000;

    // `host`: the name (or dotted address) the certificate must be for; empty: any.
    // `stopAtFailure`: the handshake fails at a problem that is not ignored, instead of
    // going on so the host can give its verdict.
    CertificatePolicy(quint32 ignore, const QByteArray& host, bool stopAtFailure);

    // Verifies the server against the default trust store (SSL_CERT_FILE and SSL_CERT_DIR
    // are honoured) with this policy, for the connections the context makes from now on.
    // The policy must outlive the context.
    void install(SSL_CTX* context);

    quint32 status() const { return m_status; }

    // "[0x800b010f] The certificate's CN name does not match the passed value."
    static QByteArray statusText(quint32 status);
    // The policy status of a verification error.
    static quint32 statusOf(int verifyError);

private:
    static int verify(int preverified, X509_STORE_CTX* store);
    bool ignores(quint32 status) const;

    quint32 m_ignore;
    QByteArray m_host;
    bool m_stopAtFailure;
    quint32 m_status = 0;
};

} // namespace kelvane::plexant
