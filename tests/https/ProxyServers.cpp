#include "tests/https/ProxyServers.h"

#include <QFile>

namespace kelvane::test {

namespace {

void writeFile(const QString& path, const QString& content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content.toUtf8());
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TinyProxy::TinyProxy(const QString& user, const QString& password)
    : m_folder(serverFolder(QStringLiteral("tinyproxy")))
    , m_port(freePort())
{
    QString config = QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 10\nLogFile \"%2/tinyproxy.log\"\n"
                                    "LogLevel Info\nMaxClients 8\nAllow 127.0.0.1\n")
                         .arg(m_port)
                         .arg(m_folder);
    if (!user.isEmpty())
        config += QStringLiteral("BasicAuth %1 %2\n").arg(user, password);
    writeFile(m_folder + QStringLiteral("/tinyproxy.conf"), config);
}

bool TinyProxy::start()
{
    return m_process.start(QStringLiteral("tinyproxy"), {QStringLiteral("-d"), QStringLiteral("-c"), m_folder + QStringLiteral("/tinyproxy.conf")},
                           m_port);
}

QString TinyProxy::log() const { return readFile(m_folder + QStringLiteral("/tinyproxy.log")); }

SocksServer::SocksServer(QString program, QString folder)
    : m_program(std::move(program))
    , m_folder(std::move(folder))
    , m_port(freePort())
{
}

SocksServer SocksServer::dante()
{
    SocksServer server(QStringLiteral("danted"), serverFolder(QStringLiteral("dante")));
    writeFile(server.m_folder + QStringLiteral("/danted.conf"),
              QStringLiteral("logoutput: %1/danted.log\ninternal: 127.0.0.1 port = %2\nexternal: 127.0.0.1\n"
                             "clientmethod: none\nsocksmethod: none\nuser.privileged: root\nuser.unprivileged: nobody\n"
                             "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 log: connect }\n"
                             "socks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 log: connect }\n")
                  .arg(server.m_folder)
                  .arg(server.m_port));
    server.m_arguments = {QStringLiteral("-f"), server.m_folder + QStringLiteral("/danted.conf"), QStringLiteral("-N"),
                          QStringLiteral("1"), QStringLiteral("-p"), server.m_folder + QStringLiteral("/danted.pid")};
    return server;
}

SocksServer SocksServer::withCredentials(const QString& user, const QString& password)
{
    SocksServer server(QStringLiteral("microsocks"), serverFolder(QStringLiteral("microsocks")));
    server.m_arguments = {QStringLiteral("-i"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(server.m_port),
                          QStringLiteral("-u"), user, QStringLiteral("-P"), password};
    return server;
}

bool SocksServer::start() { return m_process->start(m_program, m_arguments, m_port); }

QString SocksServer::log() const { return readFile(m_folder + QStringLiteral("/danted.log")); }

} // namespace kelvane::test
