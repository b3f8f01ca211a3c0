#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

typedef struct x509_st X509;

namespace kelvane {

// Certificates the user trusts for the knowledge server, from a PEM file: a server's own
// certificate or the certification authority that signed it, directly or through
// intermediate authorities. A server certificate is trusted when it verifies against them
// (dates and purpose included), with the help of the intermediates the server sent, and is
// made out for the host that was asked for.
class TrustedCertificates {
public:
    explicit TrustedCertificates(QString file) : m_file(std::move(file)) {}

    // A file is named: the user trusts certificates of their own.
    bool Configured() const { return !m_file.isEmpty(); }

    // `intermediates` (DER) may link the certificate to a trusted one; they are not trusted
    // themselves. False as well when the file is empty, missing or holds no certificate.
    bool Trusts(X509* certificate, const QString& host, const QList<QByteArray>& intermediates = {}) const;

private:
    QString m_file;
};

} // namespace kelvane
