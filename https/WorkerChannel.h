#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace kelvane::plexant {

// Carries events from a worker thread to the thread that owns the channel, in order: the
// owner's thread runs them when it next pumps its events. The worker goes on while they
// wait, but never more than a bounded weight (bytes they carry) ahead, and flush() waits
// until all have run, as the old platform's sent messages did before a worker finished.
// Cancelling drops what still waits and frees a waiting worker. Events own what they
// carry, so a cancelled worker may go on while an event still runs.
class WorkerChannel {
public:
    // What may wait for the owner before the worker is held back.
    static constexpr qint64 kMaxWaitingWeight = 4 * 1024 * 1024;

    WorkerChannel();
    ~WorkerChannel();
    WorkerChannel(const WorkerChannel&) = delete;
    WorkerChannel& operator=(const WorkerChannel&) = delete;

    // On the worker: queues the event for the owner's thread; false (without queueing it)
    // once the channel is cancelled.
    bool post(std::function<void()> event, qint64 weight = 0);
    // On the worker: waits until every event posted so far has run; false when cancelled.
    bool flush();

    // On the owner: from now on, posts return at once and events still queued are dropped.
    void cancel();
    // Opens the channel again for the next worker.
    void reset();
    bool cancelled() const;

private:
    struct Waiting {
        std::function<void()> event;
        qint64 weight = 0;
    };

    void runQueued();

    mutable std::mutex m_lock;
    std::condition_variable m_handled;
    std::deque<Waiting> m_queue;
    qint64 m_waitingWeight = 0;
    bool m_running = false;     // the owner is running an event taken off the queue
    bool m_wakePosted = false;  // the owner's thread has been asked to run the queue
    bool m_cancelled = false;
    QObject m_receiver; // lives on the owner's thread
};

} // namespace kelvane::plexant
