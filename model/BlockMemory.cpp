#include "model/BlockMemory.h"

#include "platform/LargePages.h"

#include <algorithm>
#include <cstdint>

namespace kelvane {

using platform::kLargePage;

// A block of at least `bytes`; from a large page on, whole large pages starting on one (taken
// with a large page more, of which only what the block uses is ever touched).
BlockMemory::Block BlockMemory::blockOf(std::size_t bytes)
{
    const std::size_t size = std::max<std::size_t>(bytes, 64);
    if (size < kLargePage) {
        auto taken = std::make_unique_for_overwrite<std::byte[]>(size);
        std::byte* start = taken.get();
        return {std::move(taken), start, size};
    }
    const std::size_t pages = (size + kLargePage - 1) / kLargePage * kLargePage;
    auto taken = std::make_unique_for_overwrite<std::byte[]>(pages + kLargePage);
    const auto address = reinterpret_cast<std::uintptr_t>(taken.get());
    std::byte* start = taken.get() + ((kLargePage - address % kLargePage) % kLargePage);
    platform::preferLargePages(start, pages);
    return {std::move(taken), start, pages};
}

BlockMemory::BlockMemory(std::size_t bytes) : BlockMemory(blockOf(bytes)) {}

BlockMemory::BlockMemory(Block block) : m_taken(std::move(block.taken)), m_resource(block.start, block.size) {}

} // namespace kelvane
