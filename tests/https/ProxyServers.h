#pragma once

#include "tests/https/PeerProcess.h"

#include <QString>

namespace kelvane::test {

// tinyproxy on 127.0.0.1 (HTTP proxy and CONNECT tunnels), with or without Basic credentials.
class TinyProxy {
public:
    // Empty user: no credentials asked.
    explicit TinyProxy(const QString& user = {}, const QString& password = {});
    bool start();
    quint16 port() const { return m_port; }
    QString log() const;

private:
    QString m_folder;
    quint16 m_port;
    PeerProcess m_process;
};

// A SOCKS4 and SOCKS5 server without authentication (dante), or a SOCKS5 server that asks
// for a user name and password (microsocks).
class SocksServer {
public:
    static SocksServer dante();
    static SocksServer withCredentials(const QString& user, const QString& password);

    SocksServer(SocksServer&&) = default;
    bool start();
    quint16 port() const { return m_port; }
    // What the server logged (dante only).
    QString log() const;

private:
    SocksServer(QString program, QString folder);

    QString m_program;
    QString m_folder;
    QStringList m_arguments;
    quint16 m_port;
    std::unique_ptr<PeerProcess> m_process = std::make_unique<PeerProcess>();
};

} // namespace kelvane::test
