#pragma once

#include "platform/sockets/MessageQueue.h"

namespace platform::sockets {

// The hidden window through which a control receives its socket notifications and its own
// messages: nothing is shown; messages posted to it arrive, in order, at its procedure on the
// thread that made it. Destroying the object destroys the window; messages still queued for
// it are dropped.
class NotificationWindow {
public:
    using Procedure = MessageQueue::Procedure;

    explicit NotificationWindow(Procedure procedure);
    ~NotificationWindow();
    NotificationWindow(const NotificationWindow&) = delete;
    NotificationWindow& operator=(const NotificationWindow&) = delete;

    WindowHandle handle() const { return m_handle; }
    // False once the window was destroyed (by destroy() or by a close request).
    bool exists() const;

    void post(quint32 message, quintptr wParam = 0, qintptr lParam = 0) const;
    void destroy();

    // What a window does with a message its procedure does not handle: a close request
    // destroys the window; every other message is ignored.
    static void defaultProcedure(const WindowMessage& message);

private:
    MessageQueue& m_queue;
    WindowHandle m_handle;
};

} // namespace platform::sockets
