#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

namespace kelvane::test {

// A TLS server on 127.0.0.1 for one connection, for endings no real server is made to show:
// it reads a request head, sends `reply`, then ends as told. Its certificate is the test
// certificate `certificate`/`key` (PEM files).
class TlsPeer {
public:
    enum class Ending {
        CloseNotifyThenWait, // sends its close_notify and keeps the connection until the client's arrives
        AbruptClose,         // closes the socket without a close_notify
        Endless,             // then sends `repeated` over and over until the client goes away
    };

    TlsPeer(const QString& certificate, const QString& key, QByteArray reply, Ending ending, QByteArray repeated = {});
    ~TlsPeer();
    TlsPeer(const TlsPeer&) = delete;
    TlsPeer& operator=(const TlsPeer&) = delete;

    quint16 port() const { return m_port; }
    QString url(const QString& path = QStringLiteral("/")) const;

    // Waits (at most a few seconds) for the peer to finish; whether the client's close_notify came.
    bool clientSentCloseNotify();

private:
    void serve();

    QString m_certificate;
    QString m_key;
    QByteArray m_reply;
    QByteArray m_repeated;
    Ending m_ending;
    int m_listener = -1;
    std::atomic<int> m_connection {-1};
    quint16 m_port = 0;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_done {false};
    std::atomic<bool> m_closeNotify {false};
    std::thread m_thread;
};

} // namespace kelvane::test
