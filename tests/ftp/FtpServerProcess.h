#pragma once

#include <QProcess>
#include <QString>

namespace kelvane::test {

// A real FTP server started by a test or a benchmark on 127.0.0.1, serving a folder it makes
// inside `folder` for at most ten minutes: pyftpdlib (user kelvane, password secret) or vsftpd
// (anonymous, with uploads).
class FtpServerProcess {
public:
    enum class Kind { Pyftpdlib, Vsftpd };

    FtpServerProcess(Kind kind, const QString& folder);
    ~FtpServerProcess();

    // Empty when the server runs; else why it could not start.
    const QString& failure() const { return m_failure; }
    Kind kind() const { return m_kind; }
    quint16 port() const { return m_port; }
    // The folder the server serves as "/".
    const QString& root() const { return m_root; }
    QString user() const;
    QString password() const;

private:
    void startPyftpdlib();
    void startVsftpd();
    bool waitUntilListening();

    Kind m_kind;
    QProcess m_process;
    QString m_root;
    quint16 m_port = 0;
    QString m_failure;
};

} // namespace kelvane::test
