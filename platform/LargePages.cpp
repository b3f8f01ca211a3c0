#include "platform/LargePages.h"

#include <cstdint>
#include <sys/mman.h>

namespace platform {

namespace {

constexpr std::uintptr_t kLargePage = std::uintptr_t(2) << 20;

} // namespace

void preferLargePages(void* data, std::size_t bytes)
{
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kLargePage - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE); // refused: small pages, as before
}

} // namespace platform
