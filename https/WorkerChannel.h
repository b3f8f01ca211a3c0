#pragma once

#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace kelvane::plexant {

// Carries events from a worker thread to the thread that owns the channel, as the old
// platform's sent messages did: the worker waits until the owner's thread has run the
// event (while that thread pumps its messages), or until the channel is cancelled. Events
// own what they carry, so a cancelled worker may go on while an event still runs.
class WorkerChannel {
public:
    WorkerChannel();
    ~WorkerChannel();
    WorkerChannel(const WorkerChannel&) = delete;
    WorkerChannel& operator=(const WorkerChannel&) = delete;

    // On the worker: runs the event on the owner's thread and waits for it; false (without
    // running it) once the channel is cancelled.
    bool send(std::function<void()> event);

    // On the owner: from now on, sends return at once and events still queued are dropped.
    void cancel();
    // Opens the channel again for the next worker.
    void reset();
    bool cancelled() const;

private:
    void runQueued();

    mutable std::mutex m_lock;
    std::condition_variable m_handled;
    std::deque<std::function<void()>> m_queue;
    quint64 m_sent = 0;
    quint64 m_done = 0;
    bool m_cancelled = false;
    QObject m_receiver; // lives on the owner's thread
};

} // namespace kelvane::plexant
