#pragma once

#include <QByteArray>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace kelvane::plexant {

// Carries events from a worker thread to the thread that owns the channel, in order: the
// owner's thread runs them when it next pumps its events, or when it calls deliver(). The
// worker goes on while they wait, but never more than a bounded weight (the bytes they
// carry) ahead. Events without weight wake the owner's thread at once; weighty ones only
// once enough of them wait, so a fast stream wakes it for batches rather than for every
// block (an owner that waits for the worker delivers what waits at each pass of its own).
// Cancelling drops what still waits and frees a waiting worker. Events own what they carry,
// so a cancelled worker may go on while an event still runs.
class WorkerChannel {
public:
    // What may wait for the owner before the worker is held back.
    static constexpr qint64 kMaxWaitingWeight = 16 * 1024 * 1024;
    // What may wait before the owner's thread is woken for it.
    static constexpr qint64 kWakingWeight = 1024 * 1024;

    WorkerChannel();
    ~WorkerChannel();
    WorkerChannel(const WorkerChannel&) = delete;
    WorkerChannel& operator=(const WorkerChannel&) = delete;

    // On the worker: queues the event for the owner's thread, after waiting while the
    // events queued weigh too much; false (without queueing it) once the channel is cancelled.
    bool post(std::function<void()> event, qint64 weight = 0);

    // Buffers for the blocks of bytes events carry: taken (empty) on the worker, given back
    // on the owner's thread once their event has run. A long stream so uses a few buffers over and
    // over, instead of allocating one on the worker and freeing it on the owner's thread
    // for every block.
    QByteArray takeBlock();
    void giveBack(QByteArray block);

    // On the owner: runs the events that wait, in order (not again from inside one of them).
    void deliver();
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

    mutable std::mutex m_lock;
    std::condition_variable m_handled;
    std::deque<Waiting> m_queue;
    qint64 m_waitingWeight = 0;
    bool m_wakePosted = false; // the owner's thread has been asked to run the queue
    bool m_delivering = false; // the owner's thread runs the queue (touched by it alone)
    std::atomic<bool> m_cancelled {false}; // read without the lock by cancelled()
    std::vector<QByteArray> m_spareBlocks;
    qint64 m_spareBytes = 0;
    QObject m_receiver; // lives on the owner's thread
};

} // namespace kelvane::plexant
