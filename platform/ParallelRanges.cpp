#include "platform/ParallelRanges.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace platform {

namespace {

// The ranges still to run, handed out one at a time, and the first failure.
class RangeQueue {
public:
    RangeQueue(std::size_t count, std::size_t grain) : m_count(count), m_grain(grain) {}

    void runAll(const std::function<void(std::size_t, std::size_t)>& work)
    {
        for (;;) {
            if (m_failed.load(std::memory_order_relaxed))
                return;
            const std::size_t begin = m_next.fetch_add(m_grain, std::memory_order_relaxed);
            if (begin >= m_count)
                return;
            try {
                work(begin, std::min(begin + m_grain, m_count));
            } catch (...) {
                const std::lock_guard lock(m_failureLock);
                if (!m_failure)
                    m_failure = std::current_exception();
                m_failed.store(true, std::memory_order_relaxed);
                return;
            }
        }
    }

    void raiseFailure() const
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    const std::size_t m_count;
    const std::size_t m_grain;
    std::atomic<std::size_t> m_next {0};
    std::atomic<bool> m_failed {false};
    std::mutex m_failureLock;
    std::exception_ptr m_failure;
};

} // namespace

void forEachRange(std::size_t count, std::size_t grain, const std::function<void(std::size_t, std::size_t)>& work)
{
    grain = std::max<std::size_t>(grain, 1);
    const std::size_t ranges = count / grain + (count % grain != 0);
    const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t helpers = std::min(ranges, processors) - (ranges > 0);

    RangeQueue queue(count, grain);
    {
        std::vector<std::jthread> threads;
        threads.reserve(helpers);
        for (std::size_t i = 0; i < helpers; ++i) {
            try {
                threads.emplace_back([&] { queue.runAll(work); });
            } catch (const std::system_error&) {
                break; // no more threads to be had: those running share the ranges
            }
        }
        queue.runAll(work);
    } // joined
    queue.raiseFailure();
}

} // namespace platform
