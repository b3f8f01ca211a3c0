#include "platform/LargePages.h"

#include <cstdint>
#include <sys/mman.h>

namespace platform {

namespace {

// Below this, a buffer fills fast enough on the writer's own thread.
constexpr std::size_t kSmallestBackedAhead = 16 * kLargePage;

// The whole large pages [first, last) of [data, data + bytes): none touches memory outside it.
struct WholePages {
    std::uintptr_t first;
    std::uintptr_t last;
    std::size_t bytes() const { return last > first ? last - first : 0; }
};

WholePages wholePagesOf(void* data, std::size_t bytes)
{
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    return {(start + kLargePage - 1) & ~(kLargePage - 1), (start + bytes) & ~(kLargePage - 1)};
}

} // namespace

void preferLargePages(void* data, std::size_t bytes)
{
    if (const WholePages pages = wholePagesOf(data, bytes); pages.bytes() > 0)
        ::madvise(reinterpret_cast<void*>(pages.first), pages.bytes(), MADV_HUGEPAGE); // refused: small pages, as before
}

PagesBackedAhead::PagesBackedAhead(void* data, std::size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    const WholePages pages = wholePagesOf(data, bytes);
    if (pages.bytes() < kSmallestBackedAhead)
        return;
    m_workers.emplace();
    // A large page at a time, handed out from the buffer's start; backing a page writes
    // nothing in it (refused by an older system: the writer's first writes back it, as before).
    m_workers->start(pages.bytes() / kLargePage, 1, [first = pages.first](std::size_t begin, std::size_t end) {
        for (std::size_t page = begin; page < end; ++page)
            ::madvise(reinterpret_cast<void*>(first + page * kLargePage), kLargePage, MADV_POPULATE_WRITE);
    });
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace platform
