#pragma once

#include "platform/sockets/MessageQueue.h"
#include "platform/sockets/NotificationWindow.h"
#include "platform/sockets/SocketLibrary.h"

#include <QElapsedTimer>
#include <functional>
#include <ostream>
#include <vector>

namespace kelvane::test {

using platform::sockets::SocketHandle;

inline constexpr quint32 kSocketMessage = 1125;
inline constexpr quint32 kLoopback = 0x7F000001;

struct Notification {
    SocketHandle socket;
    int event;
    int error;
    bool operator==(const Notification&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Notification& n)
{
    return out << "{socket " << n.socket << ", event " << n.event << ", error " << n.error << '}';
}

// A hidden window that records the socket notifications it receives.
class NotificationLog {
public:
    std::vector<Notification> entries;
    platform::sockets::NotificationWindow window {[this](const platform::sockets::WindowMessage& m) {
        if (m.message == kSocketMessage)
            entries.push_back({static_cast<SocketHandle>(m.wParam), platform::sockets::notificationEvent(m.lParam),
                               platform::sockets::notificationError(m.lParam)});
    }};

    bool has(SocketHandle socket, int event) const { return find(socket, event) != nullptr; }
    const Notification* find(SocketHandle socket, int event) const
    {
        for (const auto& n : entries) {
            if (n.socket == socket && n.event == event)
                return &n;
        }
        return nullptr;
    }
    int count(SocketHandle socket, int event) const
    {
        int found = 0;
        for (const auto& n : entries)
            found += n.socket == socket && n.event == event;
        return found;
    }
};

// Takes and dispatches the thread's messages until `done` holds; false after `timeoutMs`.
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    auto& queue = platform::sockets::MessageQueue::current();
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        if (const auto message = queue.nextMessage(10))
            queue.dispatch(*message);
    }
    return true;
}

// Dispatches whatever arrives within `milliseconds`.
inline void pumpFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    pumpUntil([&] { return clock.elapsed() >= milliseconds; }, milliseconds + 1000);
}

} // namespace kelvane::test
