#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

class QTcpSocket;

namespace kelvane::test {

// A byte-level FTP server on 127.0.0.1 that plays one case file to the first client. A case
// is a list of steps, one a line ("#" starts a comment). Texts may hold \r, \n, \t, \\ and
// \xHH for their bytes.
// The control connection:
//   send <text>            queue the text
//   flood <count> <text>   queue the text <count> times
//   expect <line>          wait for the client's next line (without its CR LF) and check it;
//                          a line ending in "*" only has to begin with what comes before
//   chunk <n>, delay <ms>  from here on, send n bytes per packet (0: all at once), that far apart
//   wait <ms>              pause the script
//   silence                answer nothing more, keep the connections open
//   close                  close the control connection
// Data connections (one at a time, each transfer its own):
//   listen                 open the passive listener on 127.0.0.1 (pasv does it when needed)
//   pasv [host]            answer 227 with the listener's port and that host (127.0.0.1)
//   stranger-listen <host> <text>   someone else listens on <host> at the listener's port and
//                          hands <text> to whoever connects
//   connect                active mode: connect to the address of the client's last PORT
//   stranger-connect <host> <text>  someone else connects from <host> to that address first
//                          and sends <text>
//   data <text>, data-flood <count> <text>   send on the data connection (waits for it)
//   data-chunk <n>, data-delay <ms>          pacing of the data connection
//   data-close             close it once everything was sent
//   data-reset             reset it (no orderly close) once everything was sent
//   expect-data-end        wait until the client closes it
//   expect-data <count>    wait until <count> bytes came on it (or it ended)
// Telnet command bytes (0xF0 and above) are dropped from the lines received. The peer runs in
// the thread's event loop, so it answers while the control waits.
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
    // What the client sent on data connections.
    const QByteArray& dataReceived() const { return m_dataReceived; }

private:
    struct Step {
        QByteArray kind;
        QByteArray argument;
    };
    struct Output {
        QTcpSocket* socket = nullptr;
        QByteArray bytes;
        int chunk = 0;
        int delay = 0;
    };

    void acceptControl();
    void acceptData();
    void onControlReadyRead();
    void run();
    void runSteps();
    // Runs one step; false when the script must wait for something first.
    bool runStep(const Step& step);
    bool runDataStep(const Step& step);
    void queue(QTcpSocket* socket, const QByteArray& bytes, int chunk, int delay);
    void writeNextPacket();
    bool openListener();
    bool connectData(const std::pair<QString, quint16>& address);
    bool connectStranger(const std::pair<QString, quint16>& address, const QByteArray& argument);
    void adoptData(QTcpSocket* socket);
    bool dataFlushed() const;
    std::optional<std::pair<QString, quint16>> lastPortAddress() const;

    QTcpServer m_server;
    std::unique_ptr<QTcpSocket> m_client;
    QTcpServer m_dataListener;
    std::unique_ptr<QTcpSocket> m_data;
    std::vector<std::unique_ptr<QObject>> m_strangers;
    QList<Step> m_steps;
    qsizetype m_next = 0;
    qsizetype m_linesConsumed = 0;
    Output m_output;
    QByteArray m_input;
    QList<QByteArray> m_lines;
    QByteArray m_dataReceived;
    bool m_dataEnded = false;
    QStringList m_problems;
    int m_chunk = 0;
    int m_delay = 0;
    int m_dataChunk = 0;
    int m_dataDelay = 0;
    bool m_silent = false;
    bool m_waiting = false;
    bool m_stepStarted = false;
    bool m_running = false;
    bool m_runAgain = false;
    QTimer m_packetTimer;
    QTimer m_pauseTimer;
};

} // namespace kelvane::test
