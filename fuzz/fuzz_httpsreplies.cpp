// Feeds the input to the HTTPS control as what a server on 127.0.0.1 sends: an HTTP reply,
// or a firewall's answers (CONNECT tunnel, SOCKS4, SOCKS5 with a user name and password)
// followed by the reply. The first byte picks the peer, the second the request's settings:
//   byte 0 % 4:  0 a web server, 1 a tunnel's proxy, 2 a SOCKS4 firewall, 3 a SOCKS5 firewall
//   byte 1:      bit 0 HEAD instead of GET, bit 1 no limit on TransferredData,
//                bits 2-3 the peer's bytes in 1, 2, 3 or 4 writes
// The rest is sent as soon as the connection is taken, then the peer stops writing and reads
// what the client sends until it closes. A failing request raises the control's automation
// error, which is an outcome, not a fault; anything else is. Redirects are not followed, so
// the control never goes anywhere but the peer.
#include "https/HTTPS.h"
#include "platform/automation/AutomationError.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int kPatienceMs = 3000;

// One connection per run: sends the run's bytes in a few writes, then takes what comes
// until the client closes.
class LoopbackPeer {
public:
    LoopbackPeer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~LoopbackPeer()
    {
        {
            const std::lock_guard guard(m_lock);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
        ::close(m_listener);
    }

    quint16 port() const { return m_port; }

    void play(QByteArray bytes, int writes)
    {
        const std::lock_guard guard(m_lock);
        m_bytes = std::move(bytes);
        m_writes = writes;
        m_finished = false;
        ++m_run;
        m_changed.notify_all();
    }
    // Waits (boundedly) until the run's connection is over.
    void finish()
    {
        std::unique_lock guard(m_lock);
        m_changed.wait_for(guard, std::chrono::milliseconds(2 * kPatienceMs), [this] { return m_finished; });
    }

private:
    void serve()
    {
        quint64 served = 0;
        for (;;) {
            QByteArray bytes;
            int writes = 1;
            {
                std::unique_lock guard(m_lock);
                m_changed.wait(guard, [&] { return m_stop || m_run != served; });
                if (m_stop)
                    return;
                served = m_run;
                bytes = m_bytes;
                writes = m_writes;
            }
            serveOne(bytes, writes);
            {
                const std::lock_guard guard(m_lock);
                m_finished = true;
            }
            m_changed.notify_all();
        }
    }

    void serveOne(const QByteArray& bytes, int writes)
    {
        pollfd ready {m_listener, POLLIN, 0};
        if (::poll(&ready, 1, kPatienceMs) <= 0)
            return;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            return;
        const qsizetype piece = (bytes.size() + writes - 1) / std::max(writes, 1);
        for (qsizetype offset = 0; offset < bytes.size() && piece > 0; offset += piece) {
            const QByteArray part = bytes.mid(offset, piece);
            if (::send(connection, part.constData(), size_t(part.size()), MSG_NOSIGNAL) < 0)
                break;
        }
        ::shutdown(connection, SHUT_WR);
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            pollfd readable {connection, POLLIN, 0};
            const auto waited = std::chrono::steady_clock::now() - start;
            if (waited > std::chrono::milliseconds(kPatienceMs) || ::poll(&readable, 1, 50) < 0)
                break;
            char sink[4096];
            if ((readable.revents & (POLLIN | POLLHUP | POLLERR)) != 0 && ::recv(connection, sink, sizeof sink, 0) <= 0)
                break;
        }
        ::close(connection);
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::mutex m_lock;
    std::condition_variable m_changed;
    QByteArray m_bytes;
    int m_writes = 1;
    quint64 m_run = 0;
    bool m_finished = false;
    bool m_stop = false;
    std::thread m_thread;
};

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz_httpsreplies";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    application();
    static LoopbackPeer peer;

    using kelvane::plexant::HTTPS;
    const int kind = data[0] % 4;
    const int settings = data[1];
    HTTPS control;
    control.setTimeout(2);
    control.setMaxTransferredData((settings & 2) != 0 ? 0 : 4096);
    QString url = QStringLiteral("http://127.0.0.1:%1/fuzz").arg(peer.port());
    if (kind != 0) {
        control.setFirewallType(kind == 1 ? HTTPS::fwTunnel : kind == 2 ? HTTPS::fwSOCKS4 : HTTPS::fwSOCKS5);
        control.setFirewallHost(QStringLiteral("127.0.0.1"));
        control.setFirewallPort(peer.port());
        control.setFirewallUser(QStringLiteral("user"));
        control.setFirewallPassword(QStringLiteral("secret"));
        // Names the firewall resolves itself: nothing is looked up here.
        url = kind == 3 ? QStringLiteral("http://*fuzz.test:8080/fuzz") : QStringLiteral("http://127.0.0.1:8080/fuzz");
    }

    peer.play(QByteArray(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2)), 1 + ((settings >> 2) & 3));
    try {
        if ((settings & 1) != 0)
            control.Head(url);
        else
            control.Get(url);
    } catch (const platform::automation::AutomationError&) {
    }
    peer.finish();
    return 0;
}
