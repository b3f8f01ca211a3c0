#include "platform/ParallelRanges.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <stdexcept>
#include <vector>

using platform::forEachRange;

TEST(ParallelRanges, EveryIndexIsCoveredOnceByRangesOfTheGrain)
{
    for (const auto& [count, grain] : std::vector<std::pair<std::size_t, std::size_t>> {
             {0, 4}, {1, 4}, {3, 4}, {4, 4}, {1000, 1}, {1001, 32}, {100000, 64}, {7, 0}}) {
        std::vector<std::atomic<int>> visits(count);
        std::atomic<bool> rangesWithinGrain {true};
        forEachRange(count, grain, [&](std::size_t begin, std::size_t end) {
            if (begin >= end || end - begin > std::max<std::size_t>(grain, 1) || end > count)
                rangesWithinGrain = false;
            for (std::size_t i = begin; i < end; ++i)
                ++visits[i];
        });
        EXPECT_TRUE(rangesWithinGrain) << count << " by " << grain;
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(visits[i], 1) << "index " << i << " of " << count << " by " << grain;
    }
}

TEST(ParallelRanges, AFailingRangeStopsTheRestAndItsErrorIsRaisedAfterAllHaveStopped)
{
    constexpr std::size_t kCount = 100000;
    std::atomic<std::size_t> running {0};
    std::atomic<std::size_t> done {0};
    EXPECT_THROW(forEachRange(kCount, 1,
                              [&](std::size_t begin, std::size_t) {
                                  ++running;
                                  if (begin == 10)
                                      throw std::runtime_error("range 10");
                                  // Long enough that all of them together outlast any pause
                                  // of the thread that failed before the rest are stopped.
                                  std::this_thread::sleep_for(std::chrono::microseconds(20));
                                  ++done;
                                  --running;
                              }),
                 std::runtime_error);
    EXPECT_EQ(running, 1u) << "only the failed range is left unfinished: every other one ran to its end";
    EXPECT_LT(done, kCount - 1) << "ranges not begun when the error came were not run";
}

TEST(RangeWorkers, JobsRunOneAfterAnotherWhileTheCallerGoesOn)
{
    platform::RangeWorkers workers;
    std::atomic<bool> callerWentOn {false};
    std::atomic<int> sawTheCaller {0};
    std::vector<std::atomic<int>> visits(1000);
    workers.start(visits.size(), 10, [&](std::size_t begin, std::size_t end) {
        // The first range holds its thread until the caller has gone on past start().
        if (begin == 0) {
            while (!callerWentOn)
                std::this_thread::yield();
            ++sawTheCaller;
        }
        for (std::size_t i = begin; i < end; ++i)
            ++visits[i];
    });
    callerWentOn = true;
    workers.wait();
    EXPECT_EQ(sawTheCaller, 1);

    // The next job runs on the same workers; each index once more.
    workers.start(visits.size(), 7, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            ++visits[i];
    });
    workers.wait();
    for (const auto& count : visits)
        ASSERT_EQ(count, 2);

    // A job of one range is run by the caller itself.
    std::thread::id ranOn;
    workers.start(5, 32, [&](std::size_t, std::size_t) { ranOn = std::this_thread::get_id(); });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    workers.wait();
}

TEST(RangeWorkers, AFailedJobIsReportedOnceAndTheWorkersTakeTheNext)
{
    platform::RangeWorkers workers;
    workers.start(1000, 1, [](std::size_t begin, std::size_t) {
        if (begin == 500)
            throw std::runtime_error("range 500");
    });
    EXPECT_THROW(workers.wait(), std::runtime_error);
    EXPECT_NO_THROW(workers.wait()) << "the error was raised already";

    std::atomic<std::size_t> covered {0};
    workers.start(1000, 3, [&](std::size_t begin, std::size_t end) { covered += end - begin; });
    workers.wait();
    EXPECT_EQ(covered, 1000u);

    // Ending the workers while a job runs waits for it.
    std::atomic<std::size_t> done {0};
    {
        platform::RangeWorkers ending;
        ending.start(64, 1, [&](std::size_t, std::size_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ++done;
        });
    }
    EXPECT_EQ(done, 64u);
}
