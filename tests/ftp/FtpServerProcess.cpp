#include "tests/ftp/FtpServerProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace kelvane::test {

namespace {

constexpr int kLifetimeSeconds = 600;

QString python()
{
    // The system's interpreter, which has the server's module.
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                              : QStringLiteral("python3");
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

FtpServerProcess::FtpServerProcess(Kind kind, const QString& folder) : m_kind(kind)
{
    m_root = folder + (kind == Kind::Pyftpdlib ? QStringLiteral("/pyftpdlib") : QStringLiteral("/vsftpd"));
    QDir().mkpath(m_root + QStringLiteral("/root"));
    m_root += QStringLiteral("/root");
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    if (kind == Kind::Pyftpdlib)
        startPyftpdlib();
    else
        startVsftpd();
}

FtpServerProcess::~FtpServerProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}

QString FtpServerProcess::user() const
{
    return m_kind == Kind::Pyftpdlib ? QStringLiteral("kelvane") : QStringLiteral("anonymous");
}

QString FtpServerProcess::password() const { return QStringLiteral("secret"); }

void FtpServerProcess::startPyftpdlib()
{
    m_process.start(python(), {QStringLiteral(KELVANE_SOURCE_DIR "/tests/ftp/pyftpd_peer.py"), m_root,
                               QString::number(kLifetimeSeconds)});
    if (!m_process.waitForReadyRead(10000)) {
        m_failure = QStringLiteral("pyftpdlib did not start: ") + QString::fromLocal8Bit(m_process.readAllStandardError());
        return;
    }
    m_port = static_cast<quint16>(m_process.readLine().trimmed().toUInt());
    if (m_port == 0)
        m_failure = QStringLiteral("pyftpdlib told no port");
}

void FtpServerProcess::startVsftpd()
{
    const QString program = QStringLiteral("/usr/sbin/vsftpd");
    if (!QFile::exists(program)) {
        m_failure = QStringLiteral("vsftpd is not installed");
        return;
    }
    m_port = freePort();
    // Anonymous sessions that may upload, rename and delete, run as the user who starts it
    // (no privilege separation, no chroot), in the foreground, on loopback only.
    const QString config = QStringLiteral(
                               "listen=YES\nlisten_address=127.0.0.1\nlisten_port=%1\nbackground=NO\n"
                               "run_as_launching_user=YES\nanonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\n"
                               "anon_root=%2\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
                               "anon_other_write_enable=YES\nanon_world_readable_only=NO\nanon_umask=022\n"
                               "seccomp_sandbox=NO\npasv_enable=YES\nport_enable=YES\nconnect_from_port_20=NO\n"
                               "xferlog_enable=NO\nmax_per_ip=0\n")
                               .arg(m_port)
                               .arg(m_root);
    const QString configPath = m_root + QStringLiteral("/../vsftpd.conf");
    QFile file(configPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0) {
        m_failure = QStringLiteral("cannot write the vsftpd configuration");
        return;
    }
    file.close();
    m_process.start(program, {QDir::cleanPath(configPath)});
    if (!waitUntilListening())
        m_failure = QStringLiteral("vsftpd did not start: ") + QString::fromLocal8Bit(m_process.readAllStandardError()
                                                                                     + m_process.readAllStandardOutput());
}

bool FtpServerProcess::waitUntilListening()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000 && m_process.state() != QProcess::NotRunning) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(500)) {
            probe.abort();
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

} // namespace kelvane::test
