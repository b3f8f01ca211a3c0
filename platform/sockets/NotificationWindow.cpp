#include "platform/sockets/NotificationWindow.h"

namespace platform::sockets {

NotificationWindow::NotificationWindow(Procedure procedure)
    : m_queue(MessageQueue::current())
    , m_handle(m_queue.createWindow(std::move(procedure)))
{
}

NotificationWindow::~NotificationWindow() { destroy(); }

bool NotificationWindow::exists() const { return m_queue.windowExists(m_handle); }

void NotificationWindow::post(quint32 message, quintptr wParam, qintptr lParam) const
{
    m_queue.post(WindowMessage {m_handle, message, wParam, lParam});
}

void NotificationWindow::destroy() { m_queue.destroyWindow(m_handle); }

void NotificationWindow::defaultProcedure(const WindowMessage& message)
{
    if (message.message == message::Close)
        MessageQueue::current().destroyWindow(message.window);
}

} // namespace platform::sockets
