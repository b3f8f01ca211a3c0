#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>
#include <memory>

class QTcpSocket;

namespace kelvane::test {

// A byte-level FTP server on 127.0.0.1 that plays one case file to the first client. A case
// is a list of steps, one a line ("#" starts a comment):
//   send <text>      queue the text; \r, \n, \t and \\ stand for their characters
//   expect <line>    wait for the client's next line (without its CR LF) and check it
//   chunk <n>        from here on, send n bytes per packet (0: all at once)
//   delay <ms>       wait that long between packets
//   silence          answer nothing more, keep the connection open
//   close            close the connection
// Telnet command bytes (0xF0 and above) are dropped from the lines received. The peer runs
// inside the thread's event loop, so it answers while the control waits.
class ScriptedFtpPeer : public QObject {
public:
    // Reads the case file from tests/data/ftp.
    explicit ScriptedFtpPeer(const QString& caseName);
    ~ScriptedFtpPeer() override;

    quint16 port() const { return m_server.serverPort(); }
    // Every difference between the lines expected and those received, and steps not reached.
    QStringList problems() const;
    // The client's lines as received.
    const QList<QByteArray>& received() const { return m_lines; }

private:
    struct Step {
        QByteArray kind;
        QByteArray argument;
    };

    void accept();
    void onReadyRead();
    void run();
    void writeNextPacket();

    QTcpServer m_server;
    std::unique_ptr<QTcpSocket> m_client;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    QByteArray m_pending;
    QByteArray m_input;
    QList<QByteArray> m_lines;
    QStringList m_problems;
    int m_chunk = 0;
    int m_delay = 0;
    bool m_waitingForLine = false;
    QTimer m_packetTimer;
};

} // namespace kelvane::test
