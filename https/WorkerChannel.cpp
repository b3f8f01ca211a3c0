#include "https/WorkerChannel.h"

#include <QMetaObject>

namespace kelvane::plexant {

WorkerChannel::WorkerChannel() = default;

WorkerChannel::~WorkerChannel() { cancel(); }

bool WorkerChannel::post(std::function<void()> event, qint64 weight)
{
    std::unique_lock guard(m_lock);
    // Held back while the owner is far behind.
    m_handled.wait(guard, [&] { return m_cancelled || m_waitingWeight < kMaxWaitingWeight; });
    if (m_cancelled)
        return false;
    m_queue.push_back({std::move(event), weight});
    m_waitingWeight += weight;
    if (std::exchange(m_wakePosted, true))
        return true;
    guard.unlock();
    // One wake-up for as many events as wait when the owner's thread gets to them.
    QMetaObject::invokeMethod(&m_receiver, [this] { runQueued(); }, Qt::QueuedConnection);
    return true;
}

bool WorkerChannel::flush()
{
    std::unique_lock guard(m_lock);
    m_handled.wait(guard, [&] { return m_cancelled || (m_queue.empty() && !m_running); });
    return !m_cancelled;
}

void WorkerChannel::runQueued()
{
    for (;;) {
        Waiting next;
        {
            const std::lock_guard guard(m_lock);
            if (m_queue.empty()) {
                m_wakePosted = false;
                m_running = false;
                m_handled.notify_all();
                return;
            }
            next = std::move(m_queue.front());
            m_queue.pop_front();
            m_waitingWeight -= next.weight;
            m_running = true;
        }
        m_handled.notify_all();
        // An event may pump the owner's events itself (and so run this again): it finds
        // the queue in order either way.
        next.event();
    }
}

void WorkerChannel::cancel()
{
    {
        const std::lock_guard guard(m_lock);
        m_cancelled = true;
        m_queue.clear();
        m_waitingWeight = 0;
    }
    m_handled.notify_all();
}

void WorkerChannel::reset()
{
    const std::lock_guard guard(m_lock);
    m_cancelled = false;
    m_queue.clear();
    m_waitingWeight = 0;
    m_running = false;
}

bool WorkerChannel::cancelled() const
{
    const std::lock_guard guard(m_lock);
    return m_cancelled;
}

} // namespace kelvane::plexant
