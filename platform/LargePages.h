#pragma once

#include "platform/ParallelRanges.h"

#include <cstddef>
#include <optional>

namespace platform {

// The size of a large page of the processors the program runs on.
inline constexpr std::size_t kLargePage = std::size_t(2) << 20;

// Asks the system to back the whole large pages that [data, data + bytes) holds with large
// pages when it fills them: a buffer of hundreds of megabytes written from start to end then
// costs a few hundred page faults instead of tens of thousands. A hint only: the memory
// behaves the same whether or not it is taken, and smaller buffers are left as they are.
void preferLargePages(void* data, std::size_t bytes);

// While it lives, has the system back a large buffer with memory on threads of its own, from
// its start, while the caller goes on writing it from its start: the writer then seldom waits
// for the system to find and clear a page at its first write. What the buffer holds does not
// change; a system that cannot do this leaves the buffer as it was. Buffers under a few
// megabytes are left alone. Ends only when the threads have.
class PagesBackedAhead {
public:
    PagesBackedAhead(void* data, std::size_t bytes);
    // Waits for the threads: the buffer must outlive that.
    ~PagesBackedAhead() = default;
    PagesBackedAhead(const PagesBackedAhead&) = delete;
    PagesBackedAhead& operator=(const PagesBackedAhead&) = delete;

private:
    std::optional<RangeWorkers> m_workers;
};

} // namespace platform
