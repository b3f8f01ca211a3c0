#include "tests/https/TlsPeer.h"

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <openssl/ssl.h>

#include <memory>

namespace kelvane::test {

namespace {

constexpr int kPatienceMs = 8000;

struct SslFree {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
    void operator()(SSL* connection) const { SSL_free(connection); }
};

// Blocking calls on the connection give up after a while, so a silent client cannot hold the peer.
void limitWaits(int socket)
{
    timeval limit {1, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

} // namespace

TlsPeer::TlsPeer(const QString& certificate, const QString& key, QByteArray reply, Ending ending, QByteArray repeated,
                 QString clientAuthority)
    : m_certificate(certificate)
    , m_key(key)
    , m_reply(std::move(reply))
    , m_repeated(std::move(repeated))
    , m_ending(ending)
    , m_clientAuthority(std::move(clientAuthority))
{
    // A client that goes away while the peer writes must not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 4);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

TlsPeer::~TlsPeer()
{
    m_stop = true;
    if (const int connection = m_connection; connection >= 0)
        ::shutdown(connection, SHUT_RDWR);
    m_thread.join();
    ::close(m_listener);
}

QString TlsPeer::url(const QString& path) const { return QStringLiteral("https://localhost:%1%2").arg(m_port).arg(path); }

bool TlsPeer::clientSentCloseNotify()
{
    QElapsedTimer clock;
    clock.start();
    while (m_served == 0 && clock.elapsed() < kPatienceMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return m_closeNotify;
}

QByteArray TlsPeer::clientSubject() const
{
    const std::lock_guard guard(m_lock);
    return m_clientSubject;
}

void TlsPeer::serve()
{
    std::unique_ptr<SSL_CTX, SslFree> context(SSL_CTX_new(TLS_server_method()));
    if (!context || SSL_CTX_use_certificate_chain_file(context.get(), m_certificate.toLocal8Bit().constData()) != 1
        || SSL_CTX_use_PrivateKey_file(context.get(), m_key.toLocal8Bit().constData(), SSL_FILETYPE_PEM) != 1)
        return;
    if (!m_clientAuthority.isEmpty()) {
        SSL_CTX_load_verify_locations(context.get(), m_clientAuthority.toLocal8Bit().constData(), nullptr);
        SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, nullptr);
    }
    while (!m_stop) {
        pollfd ready {m_listener, POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0)
            continue;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        m_connection = connection;
        limitWaits(connection);
        serveOne(context.get(), connection);
        m_connection = -1;
        ::close(connection);
        ++m_served;
    }
}

void TlsPeer::serveOne(SSL_CTX* context, int connection)
{
    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<SSL, SslFree> ssl(SSL_new(context));
    SSL_set_fd(ssl.get(), connection);
    QByteArray request;
    int accepted = SSL_accept(ssl.get());
    // The socket's waits are short, so a loaded machine may take several of them.
    while (accepted != 1 && !m_stop && SSL_get_error(ssl.get(), accepted) == SSL_ERROR_WANT_READ
           && clock.elapsed() < kPatienceMs)
        accepted = SSL_accept(ssl.get());
    bool ok = accepted == 1;
    if (ok && !m_clientAuthority.isEmpty()) {
        X509* client = SSL_get0_peer_certificate(ssl.get());
        char subject[512] = {};
        X509_NAME_oneline(X509_get_subject_name(client), subject, sizeof subject);
        const std::lock_guard guard(m_lock);
        m_clientSubject = subject;
    }
    while (ok && !m_stop && !request.contains("\r\n\r\n")) {
        char buffer[4096];
        const int count = SSL_read(ssl.get(), buffer, sizeof buffer);
        if (count > 0)
            request.append(buffer, count);
        else
            ok = SSL_get_error(ssl.get(), count) == SSL_ERROR_WANT_READ && clock.elapsed() < kPatienceMs;
    }
    if (!ok)
        return;
    switch (m_ending) {
    case Ending::CloseNotifyThenWait:
        if (SSL_write(ssl.get(), m_reply.constData(), int(m_reply.size())) > 0 && SSL_shutdown(ssl.get()) >= 0) {
            // The client's close_notify answers ours: the read then ends without data.
            clock.restart();
            while (!m_stop && clock.elapsed() < kPatienceMs) {
                char byte = 0;
                const int count = SSL_read(ssl.get(), &byte, 1);
                if (count > 0)
                    continue;
                const int reason = SSL_get_error(ssl.get(), count);
                if (reason == SSL_ERROR_ZERO_RETURN) {
                    m_closeNotify = true;
                    break;
                }
                if (reason != SSL_ERROR_WANT_READ)
                    break;
            }
        }
        break;
    case Ending::AbruptClose:
        SSL_write(ssl.get(), m_reply.constData(), int(m_reply.size()));
        break;
    case Ending::Endless:
        if (SSL_write(ssl.get(), m_reply.constData(), int(m_reply.size())) <= 0 || m_repeated.isEmpty())
            break;
        while (!m_stop && SSL_write(ssl.get(), m_repeated.constData(), int(m_repeated.size())) > 0) {
        }
        break;
    }
}

} // namespace kelvane::test
