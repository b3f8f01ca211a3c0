#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

namespace kelvane::test {

// A server on 127.0.0.1 that plays one case file from tests/data/https: what to read, what
// to send and how, and the bytes the client must have sent. It runs on its own thread, so
// the client under test can block its own thread in its waits.
//
// A case file is a list of steps, one tag each:
//   <recv/>                 reads a request head up to its blank line, and the body its
//                           Content-Length announces (a connection is accepted when none is open)
//   <recv bytes="N"/>       reads exactly N bytes
//   <send chunk="N" delay="MS">...</send>
//                           sends the text: each line ends in CR LF; in chunks of N bytes with
//                           a pause of MS milliseconds before each
//   <send raw>...</send>    sends the escapes only: \r \n \\ \xHH (line ends of the file are dropped)
//   <send repeat="N">       sends its text N times over
//   <send endless>          sends its text over and over until the client goes away
//   <wait ms="MS"/>         pauses
//   <hang/>                 answers nothing until the client goes away or the peer is stopped
//   <close/>                closes the connection (the end of the file does too)
//   <protocol>...</protocol> (or <protocol raw>) the exact bytes the client must have sent
// Texts may hold %PORT%, the peer's port.
class ScriptedPeer {
public:
    explicit ScriptedPeer(const QString& caseName);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    quint16 port() const { return m_port; }
    QString url(const QString& path = QStringLiteral("/")) const;

    // Waits (at most a few seconds) for the script to end; what the client sent.
    QByteArray received();
    QByteArray expectedProtocol() const { return m_protocol; }
    // Set when a step could not be played (a read timed out, the client went away).
    QString failure();

private:
    struct Step {
        QString kind;
        QByteArray text;
        int number = 0;
        int delay = 0;
    };

    void load(const QString& path);
    void play();
    bool ensureConnection();
    bool receiveHead();
    bool receiveBytes(int count);
    bool receiveSome(int timeoutMs);
    void sendText(const Step& step);
    void sendEndlessly(const QByteArray& text);
    bool sendWhole(const QByteArray& bytes);
    void hang();
    void closeConnection();

    QList<Step> m_steps;
    QByteArray m_protocol;
    int m_listener = -1;
    int m_connection = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_done {false};
    std::mutex m_lock;
    QByteArray m_received;
    QByteArray m_pending; // received on this connection, not yet taken by a step
    QString m_failure;
};

} // namespace kelvane::test
