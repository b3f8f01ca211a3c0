#include "tests/https/PeerProcess.h"

#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvane::test {

namespace {

sockaddr_in loopback(quint16 port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

} // namespace

quint16 freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

bool portAccepts(quint16 port, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = loopback(port);
        const bool connected = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(s);
        if (connected)
            return true;
        QThread::msleep(20);
    }
    return false;
}

bool programExists(const QString& program)
{
    return !QStandardPaths::findExecutable(program, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin")})
                .isEmpty();
}

QString serverFolder(const QString& name)
{
    const QString folder = scratchFolder() + QLatin1Char('/') + name + QLatin1Char('-')
        + QUuid::createUuid().toString(QUuid::Id128).left(8);
    QDir().mkpath(folder);
    return folder;
}

PeerProcess::~PeerProcess() { stop(); }

bool PeerProcess::start(const QString& program, const QStringList& arguments, quint16 port)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(5000))
        return false;
    // A peer that is still starting on a busy machine is waited for; one that has ended is not.
    QElapsedTimer clock;
    clock.start();
    while (m_process.state() == QProcess::Running && clock.elapsed() < 30000) {
        if (portAccepts(port, 250))
            return true;
    }
    return false;
}

void PeerProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

QString PeerProcess::log() { return QString::fromLocal8Bit(m_process.readAll()); }

} // namespace kelvane::test
