#include "platform/ParallelRanges.h"

#include <gtest/gtest.h>

#include <atomic>
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
                                  ++done;
                                  --running;
                              }),
                 std::runtime_error);
    EXPECT_EQ(running, 1u) << "only the failed range is left unfinished: every other one ran to its end";
    EXPECT_LT(done, kCount - 1) << "ranges not begun when the error came were not run";
}
