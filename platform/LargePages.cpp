#include "platform/LargePages.h"

#include <cstdint>
#include <sys/mman.h>

namespace platform {

namespace {

constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;

// Below this, a buffer fills fast enough on the writer's own thread.
constexpr std::size_t kSmallestBackedAhead = 16 * kLargePage;

} // namespace

void preferLargePages(void* data, std::size_t bytes)
{
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kLargePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE); // refused: small pages, as before
}

PagesBackedAhead::PagesBackedAhead(void* data, std::size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    // Whole pages only, so that no page outside the buffer is touched.
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kLargePage - 1);
    if (last <= first || last - first < kSmallestBackedAhead)
        return;
    m_workers.emplace();
    // A large page at a time, handed out from the buffer's start; backing a page writes
    // nothing in it (refused by an older system: the writer's first writes back it, as before).
    m_workers->start((last - first) / kLargePage, 1, [first](std::size_t begin, std::size_t end) {
        for (std::size_t page = begin; page < end; ++page)
            ::madvise(reinterpret_cast<void*>(first + page * kLargePage), kLargePage, MADV_POPULATE_WRITE);
    });
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace platform
