#pragma once

#include <QString>

namespace kelvane {

namespace plexant {
class Certificate;
}

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

    // The chain the server presented with its certificate may link it to a trusted one; it is
    // not trusted itself. False as well when the file is empty, missing, cannot be read or
    // holds no certificate.
    bool Trusts(const plexant::Certificate& certificate, const QString& host) const;

private:
    QString m_file;
};

} // namespace kelvane
