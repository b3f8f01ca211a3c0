#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace kelvane::test {

// A free TCP port on 127.0.0.1, as the system hands one out.
quint16 freePort();
// Whether something accepts connections on 127.0.0.1:port, tried until the time is up.
bool portAccepts(quint16 port, int timeoutMs = 5000);
// Whether the program is installed (found on the path).
bool programExists(const QString& program);

// An outside server a test starts on 127.0.0.1 in its own folder and stops when it goes.
class PeerProcess {
public:
    PeerProcess() = default;
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Starts the program and waits until it accepts connections on the port; false (with
    // its output in `log`) when it does not in a few seconds.
    bool start(const QString& program, const QStringList& arguments, quint16 port);
    void stop();
    QString log();

private:
    QProcess m_process;
};

// A scratch folder of its own for one server, under the test program's scratch folder.
QString serverFolder(const QString& name);

} // namespace kelvane::test
