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
    if (m_wakePosted || (weight > 0 && m_waitingWeight < kWakingWeight))
        return true;
    m_wakePosted = true;
    guard.unlock();
    QMetaObject::invokeMethod(&m_receiver, [this] { deliver(); }, Qt::QueuedConnection);
    return true;
}

void WorkerChannel::deliver()
{
    // An event may pump the owner's events itself: what waits behind it runs after it.
    if (m_delivering)
        return;
    m_delivering = true;
    for (;;) {
        Waiting next;
        {
            const std::lock_guard guard(m_lock);
            if (m_queue.empty()) {
                m_wakePosted = false;
                break;
            }
            next = std::move(m_queue.front());
            m_queue.pop_front();
            m_waitingWeight -= next.weight;
        }
        m_handled.notify_all();
        next.event();
    }
    m_delivering = false;
}

QByteArray WorkerChannel::takeBlock()
{
    QByteArray block;
    {
        const std::lock_guard guard(m_lock);
        if (!m_spareBlocks.empty()) {
            block = std::move(m_spareBlocks.back());
            m_spareBlocks.pop_back();
            m_spareBytes -= block.capacity();
        }
    }
    block.resize(0); // keeps its storage
    return block;
}

void WorkerChannel::giveBack(QByteArray block)
{
    // A block something else still holds stays with it.
    if (!block.isDetached())
        return;
    const std::lock_guard guard(m_lock);
    // No more are kept than the waiting events may hold at once.
    if (m_spareBytes + block.capacity() > kMaxWaitingWeight)
        return;
    m_spareBytes += block.capacity();
    m_spareBlocks.push_back(std::move(block));
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
    m_spareBlocks.clear();
    m_spareBytes = 0;
}

bool WorkerChannel::cancelled() const { return m_cancelled; }

} // namespace kelvane::plexant
