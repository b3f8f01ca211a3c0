#include "https/WorkerChannel.h"

#include <QMetaObject>

namespace kelvane::plexant {

WorkerChannel::WorkerChannel() = default;

WorkerChannel::~WorkerChannel() { cancel(); }

bool WorkerChannel::send(std::function<void()> event)
{
    std::unique_lock guard(m_lock);
    if (m_cancelled)
        return false;
    m_queue.push_back(std::move(event));
    const quint64 ticket = ++m_sent;
    guard.unlock();
    // The owner's thread runs it when it next pumps its events.
    QMetaObject::invokeMethod(&m_receiver, [this] { runQueued(); }, Qt::QueuedConnection);
    guard.lock();
    m_handled.wait(guard, [&] { return m_cancelled || m_done >= ticket; });
    return !m_cancelled;
}

void WorkerChannel::runQueued()
{
    for (;;) {
        std::function<void()> event;
        {
            const std::lock_guard guard(m_lock);
            if (m_queue.empty())
                return;
            event = std::move(m_queue.front());
            m_queue.pop_front();
        }
        event();
        {
            const std::lock_guard guard(m_lock);
            ++m_done;
        }
        m_handled.notify_all();
    }
}

void WorkerChannel::cancel()
{
    {
        const std::lock_guard guard(m_lock);
        m_cancelled = true;
        m_queue.clear();
    }
    m_handled.notify_all();
}

void WorkerChannel::reset()
{
    const std::lock_guard guard(m_lock);
    m_cancelled = false;
    m_queue.clear();
    m_done = m_sent;
}

bool WorkerChannel::cancelled() const
{
    const std::lock_guard guard(m_lock);
    return m_cancelled;
}

} // namespace kelvane::plexant
