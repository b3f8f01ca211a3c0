#pragma once

#include <QString>

namespace kelvane::test {

// A private certification authority that certifies servers through an intermediate one, as
// PEM files in a folder: "root.pem" (the authority a user would trust), "chain.pem" (the
// server's certificate for localhost and 127.0.0.1 followed by the intermediate's, as a
// server sends them) and "server.key".
class ChainCertificates {
public:
    explicit ChainCertificates(const QString& folder);

    QString root() const { return m_folder + QStringLiteral("/root.pem"); }
    QString chain() const { return m_folder + QStringLiteral("/chain.pem"); }
    QString key() const { return m_folder + QStringLiteral("/server.key"); }

private:
    QString m_folder;
};

} // namespace kelvane::test
