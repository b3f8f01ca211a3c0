#pragma once

#include <QString>

typedef struct x509_st X509;

namespace kelvane {

// Certificates the user trusts for the knowledge server, from a PEM file: a server's own
// certificate or the certification authority that signed it. A server certificate is
// trusted when it verifies against them (dates and purpose included) and is made out for
// the host that was asked for.
class TrustedCertificates {
public:
    explicit TrustedCertificates(QString file) : m_file(std::move(file)) {}

    // False as well when the file is empty, missing or holds no certificate.
    bool Trusts(X509* certificate, const QString& host) const;

private:
    QString m_file;
};

} // namespace kelvane
