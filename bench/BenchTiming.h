#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

namespace kelvane::bench {

// The best of `rounds` runs of `run`, in seconds.
inline double bestSeconds(int rounds, const std::function<void()>& run)
{
    double best = 1e30;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    return best;
}

} // namespace kelvane::bench
