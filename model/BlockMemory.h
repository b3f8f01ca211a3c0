#pragma once

#include "platform/LargePages.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <memory_resource>

namespace kelvane {

// Memory for the containers of one piece of work, taken at once in one block of the size the
// work says it needs: memory taken anew costs a page fault every 4 KB, and a block of megabytes
// is backed by large pages instead where the system allows. Nothing is given back before the
// end; what does not fit in the block is taken as usual.
class BlockMemory {
public:
    explicit BlockMemory(std::size_t bytes)
        : m_size(std::max<std::size_t>(bytes, 64))
        , m_block(std::make_unique_for_overwrite<std::byte[]>(m_size))
        , m_resource(m_block.get(), m_size)
    {
        platform::preferLargePages(m_block.get(), m_size);
    }
    BlockMemory(const BlockMemory&) = delete;
    BlockMemory& operator=(const BlockMemory&) = delete;

    std::pmr::memory_resource* resource() { return &m_resource; }

private:
    std::size_t m_size;
    std::unique_ptr<std::byte[]> m_block;
    std::pmr::monotonic_buffer_resource m_resource;
};

} // namespace kelvane
