#pragma once

#include "platform/sockets/WindowMessage.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace platform::sockets {

class QueueWaker;

// The message queue of one thread: messages posted to the thread's hidden windows (socket
// notifications, a control's own messages) wait here in order until a wait loop takes them
// or, when no wait loop runs, the host's event loop dispatches them. A wait loop takes one
// message at a time, so it can tell its own stop messages from the rest; the host's own
// events (input, timers, socket readiness) keep running while it waits.
class MessageQueue {
public:
    using Procedure = std::function<void(const WindowMessage&)>;

    // The calling thread's queue, made on first use.
    static MessageQueue& current();

    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // Posts a message to a window of this thread (dropped when the window does not exist)
    // or, with window 0, to the thread.
    void post(const WindowMessage& message);
    // Posts the quit message to the thread, as a wait loop does to leave it for the host.
    void postQuit(int exitCode);

    // Removes the oldest waiting message. When none waits, first lets the host's pending
    // events run (which may post messages) and then, with `waitMilliseconds` above 0 and still
    // nothing, waits at most that long for something to happen. Nothing when none arrived.
    // A quit request of the host arrives as a message::Quit to the thread.
    std::optional<WindowMessage> nextMessage(int waitMilliseconds = 0);

    // Hands the message to its window's procedure; nothing for a window that no longer exists
    // or for a message to the thread.
    void dispatch(const WindowMessage& message);

    bool windowExists(WindowHandle window) const;
    bool hasMessages() const { return !m_messages.empty(); }

    // Windows are made and destroyed by NotificationWindow.
    WindowHandle createWindow(Procedure procedure);
    void destroyWindow(WindowHandle window);

private:
    friend class QueueWaker;
    MessageQueue();

    std::optional<WindowMessage> take();
    void processHostEvents(int waitMilliseconds);
    void requestWake();
    void wake();
    bool waitLoopRunsAtThisLevel() const;

    std::deque<WindowMessage> m_messages;
    std::unordered_map<WindowHandle, std::shared_ptr<Procedure>> m_windows;
    WindowHandle m_lastWindow = 0;
    std::unique_ptr<QueueWaker> m_waker;
    bool m_wakeRequested = false;
    // The event-loop level of each wait loop now inside processHostEvents, innermost last.
    std::vector<int> m_waitLevels;
};

} // namespace platform::sockets
