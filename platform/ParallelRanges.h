#pragma once

#include <cstddef>
#include <functional>

namespace platform {

// Splits [0, count) into ranges of `grain` (the last one shorter) and calls `work(begin, end)`
// once for each, on as many threads as the machine has processors (the calling thread among
// them) and never more threads than ranges. Returns when every call has returned. Calls run
// side by side: `work` must touch nothing another call touches, and nothing outside its own
// range that the calling thread does not leave alone meanwhile.
//
// An exception from a call stops the ranges not yet begun and is raised again here, once
// every thread has stopped (the first one raised, when several are).
void forEachRange(std::size_t count, std::size_t grain, const std::function<void(std::size_t, std::size_t)>& work);

} // namespace platform
