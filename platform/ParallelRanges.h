#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// A few threads kept for as long as this object lives, which run one job at a time: `work`
// called once for each range of `grain` indexes (the last one shorter) of [0, count), the
// ranges shared among the threads. The caller goes on meanwhile and waits for the job when it
// needs its results. Calls run side by side: `work` must touch nothing another call touches,
// nor anything the caller changes before wait() returns.
//
// An exception from a call stops the ranges not yet begun; wait() raises it again once every
// thread has stopped (the first one raised, when several are).
class RangeWorkers {
public:
    // As many threads as the machine has processors, made when a job first needs them.
    RangeWorkers();
    // Waits for the job running, then ends the threads.
    ~RangeWorkers();
    RangeWorkers(const RangeWorkers&) = delete;
    RangeWorkers& operator=(const RangeWorkers&) = delete;

    // Starts a job; one started before is waited for first (and its error raised). A job of a
    // single range is run by the caller before start returns.
    void start(std::size_t count, std::size_t grain, std::function<void(std::size_t, std::size_t)> work);
    void wait();

private:
    void startThreads();
    // Runs every job after `served` until the workers end.
    void serve(std::size_t served);
    // Runs ranges of the job until none is left or one failed.
    void runRanges();

    std::mutex m_lock;
    std::condition_variable m_jobChanged;
    std::condition_variable m_threadDone;
    std::function<void(std::size_t, std::size_t)> m_work;
    std::size_t m_count = 0;
    std::size_t m_grain = 1;
    std::size_t m_next = 0;        // the first index not yet handed out
    std::size_t m_job = 0;         // counts the jobs started
    std::size_t m_busy = 0;        // threads still on the current job
    std::exception_ptr m_failure;
    bool m_stopping = false;
    std::vector<std::jthread> m_threads;
};

// The processors this process may run on.
std::size_t processorCount();

// Runs one job on workers made for it and returns when it has run (raising its first error, as
// RangeWorkers::wait does).
void forEachRange(std::size_t count, std::size_t grain, const std::function<void(std::size_t, std::size_t)>& work);

} // namespace platform
