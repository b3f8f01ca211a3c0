#pragma once

#include <QString>

namespace kelvane::test {

// Certificates made for one test program with OpenSSL, as PEM files in a folder: a
// certification authority ("ca.pem", trusted by pointing SSL_CERT_FILE at it) and, signed by
// it, server certificates for localhost and 127.0.0.1 ("good"), for another name ("wrong"),
// for the address 127.0.0.1 alone ("address"), expired ("expired"), one signed by an authority nobody trusts ("untrusted"), and a client
// certificate with its key ("client", subject "CN=Kelvane Client, O=Kelvane Tests"). Every
// certificate <name> has "<name>.pem" and "<name>.key".
class TestCertificates {
public:
    explicit TestCertificates(const QString& folder);

    QString folder() const { return m_folder; }
    QString certificate(const QString& name) const;
    QString key(const QString& name) const;
    QString authority() const { return certificate(QStringLiteral("ca")); }

private:
    QString m_folder;
};

} // namespace kelvane::test
