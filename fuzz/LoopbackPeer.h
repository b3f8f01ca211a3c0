#pragma once

// A peer on 127.0.0.1 for the fuzz targets that read what a server sends: it listens on a port
// the system picks and, on a thread of its own, hands each run's connection to that run's
// conversation, so the control under test talks to it while it waits. Every wait of the peer
// is bounded: a control that stops answering never holds the fuzzer.

#include <QByteArray>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace fuzz {

// How long the peer waits for the control at each step, in milliseconds.
constexpr int kPeerPatienceMs = 3000;

// A listening socket on 127.0.0.1 at a port the system picks.
class LoopbackListener {
public:
    LoopbackListener()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_socket, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~LoopbackListener() { ::close(m_socket); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    quint16 port() const { return m_port; }

    // The next connection, or -1 when none comes within the patience.
    int accept() const
    {
        pollfd ready {m_socket, POLLIN, 0};
        if (::poll(&ready, 1, kPeerPatienceMs) <= 0)
            return -1;
        return ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC);
    }

private:
    int m_socket = -1;
    quint16 m_port = 0;
};

// Sends `bytes` in `writes` pieces of about the same size; false when the control closed.
inline bool sendInWrites(int connection, const QByteArray& bytes, int writes)
{
    const qsizetype piece = (bytes.size() + writes - 1) / std::max(writes, 1);
    for (qsizetype offset = 0; offset < bytes.size() && piece > 0; offset += piece) {
        const QByteArray part = bytes.mid(offset, piece);
        if (::send(connection, part.constData(), size_t(part.size()), MSG_NOSIGNAL) < 0)
            return false;
    }
    return true;
}

inline bool sendText(int connection, const QByteArray& text) { return sendInWrites(connection, text, 1); }

// Waits (boundedly) until the control sent something; false when it closed or sent nothing.
inline bool awaitBytes(int connection)
{
    pollfd readable {connection, POLLIN, 0};
    return ::poll(&readable, 1, kPeerPatienceMs) > 0 && (readable.revents & POLLIN) != 0;
}

// Takes what the control sends until it closes, for at most the patience.
inline void drainUntilClosed(int connection)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        pollfd readable {connection, POLLIN, 0};
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited > std::chrono::milliseconds(kPeerPatienceMs) || ::poll(&readable, 1, 50) < 0)
            return;
        char sink[4096];
        if ((readable.revents & (POLLIN | POLLHUP | POLLERR)) != 0 && ::recv(connection, sink, sizeof sink, 0) <= 0)
            return;
    }
}

// Sends `bytes` in `writes` pieces, once the control sent something when `afterRequest`, then
// stops writing and takes what the control sends until it closes.
inline void answer(int connection, const QByteArray& bytes, int writes, bool afterRequest)
{
    if (!afterRequest || awaitBytes(connection))
        sendInWrites(connection, bytes, writes);
    ::shutdown(connection, SHUT_WR);
    drainUntilClosed(connection);
}

// The connection's close will be a reset instead of an orderly end.
inline void resetOnClose(int connection)
{
    const linger abortive {1, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
}

// The bytes of one line the control sends, without its CR LF; none when it closes first or
// keeps silent for the patience.
inline std::optional<QByteArray> receiveLine(int connection, QByteArray& pending)
{
    for (;;) {
        const qsizetype end = pending.indexOf("\r\n");
        if (end >= 0) {
            QByteArray line = pending.left(end);
            pending.remove(0, end + 2);
            return line;
        }
        if (!awaitBytes(connection))
            return std::nullopt;
        char buffer[1024];
        const ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0)
            return std::nullopt;
        pending.append(buffer, qsizetype(received));
    }
}

// The peer of one fuzz target: a listener and a thread that runs each run's conversation on
// the connection the control makes.
class LoopbackPeer {
public:
    // Talks with the control over `connection`; the peer closes it afterwards.
    using Conversation = std::function<void(int connection)>;

    LoopbackPeer() : m_thread([this] { serve(); }) {}
    ~LoopbackPeer()
    {
        {
            const std::lock_guard guard(m_lock);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    quint16 port() const { return m_listener.port(); }

    // The next connection gets `conversation`.
    void play(Conversation conversation)
    {
        const std::lock_guard guard(m_lock);
        m_conversation = std::move(conversation);
        m_finished = false;
        ++m_run;
        m_changed.notify_all();
    }
    // Waits (boundedly) until the run's conversation is over.
    void finish()
    {
        std::unique_lock guard(m_lock);
        m_changed.wait_for(guard, std::chrono::milliseconds(3 * kPeerPatienceMs), [this] { return m_finished; });
    }

private:
    void serve()
    {
        quint64 served = 0;
        for (;;) {
            Conversation conversation;
            {
                std::unique_lock guard(m_lock);
                m_changed.wait(guard, [&] { return m_stop || m_run != served; });
                if (m_stop)
                    return;
                served = m_run;
                conversation = m_conversation;
            }
            if (const int connection = m_listener.accept(); connection >= 0) {
                conversation(connection);
                ::close(connection);
            }
            {
                const std::lock_guard guard(m_lock);
                m_finished = true;
            }
            m_changed.notify_all();
        }
    }

    LoopbackListener m_listener;
    std::mutex m_lock;
    std::condition_variable m_changed;
    Conversation m_conversation;
    quint64 m_run = 0;
    bool m_finished = false;
    bool m_stop = false;
    std::thread m_thread; // last: it starts once the rest is made
};

} // namespace fuzz
