#include "platform/ParallelRanges.h"

#include <algorithm>
#include <sched.h>
#include <system_error>
#include <utility>

namespace platform {

// A process held to some of the machine's processors by its affinity gets no more threads than
// it can run at once.
std::size_t processorCount()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0)
        return static_cast<std::size_t>(CPU_COUNT(&allowed));
    return std::max(1u, std::thread::hardware_concurrency());
}

RangeWorkers::RangeWorkers() = default;

void RangeWorkers::startThreads()
{
    const std::size_t threads = processorCount();
    const std::size_t lastJob = m_job; // no job runs meanwhile: the threads wait for the next one
    m_threads.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) {
        try {
            m_threads.emplace_back([this, lastJob] { serve(lastJob); });
        } catch (const std::system_error&) {
            break; // no more threads to be had: those running share the ranges
        }
    }
}

RangeWorkers::~RangeWorkers()
{
    {
        std::unique_lock lock(m_lock);
        m_threadDone.wait(lock, [this] { return m_busy == 0; });
        m_stopping = true;
    }
    m_jobChanged.notify_all();
    m_threads.clear(); // joined
}

void RangeWorkers::start(std::size_t count, std::size_t grain, std::function<void(std::size_t, std::size_t)> work)
{
    wait();
    grain = std::max<std::size_t>(grain, 1);
    // A job of one range is run by the caller; threads are made for the first larger one.
    if (count > grain && m_threads.empty())
        startThreads();
    const bool byCaller = count <= grain || m_threads.empty();
    {
        const std::lock_guard lock(m_lock);
        m_work = std::move(work);
        m_count = count;
        m_grain = grain;
        m_next = 0;
        m_failure = nullptr;
        if (!byCaller) {
            m_busy = m_threads.size();
            ++m_job;
        }
    }
    if (byCaller)
        runRanges();
    else
        m_jobChanged.notify_all();
}

void RangeWorkers::wait()
{
    std::exception_ptr failure;
    {
        std::unique_lock lock(m_lock);
        m_threadDone.wait(lock, [this] { return m_busy == 0; });
        failure = std::exchange(m_failure, nullptr);
    }
    if (failure)
        std::rethrow_exception(failure);
}

void RangeWorkers::serve(std::size_t served)
{
    for (;;) {
        {
            std::unique_lock lock(m_lock);
            m_jobChanged.wait(lock, [&] { return m_stopping || m_job != served; });
            if (m_stopping)
                return;
            served = m_job;
        }
        runRanges();
        {
            const std::lock_guard lock(m_lock);
            --m_busy;
        }
        m_threadDone.notify_all();
    }
}

void RangeWorkers::runRanges()
{
    for (;;) {
        std::size_t begin = 0;
        std::size_t end = 0;
        {
            const std::lock_guard lock(m_lock);
            if (m_failure || m_next >= m_count)
                return;
            begin = m_next;
            end = std::min(m_count - begin, m_grain) + begin;
            m_next = end;
        }
        try {
            m_work(begin, end);
        } catch (...) {
            const std::lock_guard lock(m_lock);
            if (!m_failure)
                m_failure = std::current_exception();
            return;
        }
    }
}

void forEachRange(std::size_t count, std::size_t grain, const std::function<void(std::size_t, std::size_t)>& work)
{
    RangeWorkers workers;
    workers.start(count, grain, work);
    workers.wait();
}

} // namespace platform
