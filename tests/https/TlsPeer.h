#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>

#include <openssl/ssl.h>

namespace kelvane::test {

// A TLS server on 127.0.0.1 for what no real server is made to show: on each connection it
// reads a request head, sends `reply`, then ends as told. Its certificate is the test
// certificate `certificate`/`key` (PEM files). Given a `clientAuthority` (PEM file), it
// refuses, in the handshake, a client without a certificate of that authority.
class TlsPeer {
public:
    enum class Ending {
        CloseNotifyThenWait, // sends its close_notify and keeps the connection until the client's arrives
        AbruptClose,         // closes the socket without a close_notify
        Endless,             // then sends `repeated` over and over until the client goes away
    };

    TlsPeer(const QString& certificate, const QString& key, QByteArray reply, Ending ending, QByteArray repeated = {},
            QString clientAuthority = {});
    ~TlsPeer();
    TlsPeer(const TlsPeer&) = delete;
    TlsPeer& operator=(const TlsPeer&) = delete;

    quint16 port() const { return m_port; }
    QString url(const QString& path = QStringLiteral("/")) const;

    // Waits (at most a few seconds) for the first connection to end; whether the client's
    // close_notify came on it.
    bool clientSentCloseNotify();
    // The connections served so far, and the subject of the last client certificate seen.
    int served() const { return m_served; }
    QByteArray clientSubject() const;

private:
    void serve();
    void serveOne(SSL_CTX* context, int connection);

    QString m_certificate;
    QString m_key;
    QByteArray m_reply;
    QByteArray m_repeated;
    Ending m_ending;
    QString m_clientAuthority;
    mutable std::mutex m_lock;
    QByteArray m_clientSubject;
    std::atomic<int> m_served {0};
    int m_listener = -1;
    std::atomic<int> m_connection {-1};
    quint16 m_port = 0;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_closeNotify {false};
    std::thread m_thread;
};

} // namespace kelvane::test
