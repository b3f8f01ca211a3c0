#pragma once

#include <cstddef>
#include <memory>
#include <memory_resource>

namespace kelvane {

// Memory for the containers of one piece of work, taken at once in one block of the size the
// work says it needs: memory taken anew costs a page fault every 4 KB, and a block of megabytes
// is laid on whole large pages, backed by them where the system allows. Nothing is given back
// before the end; what does not fit in the block is taken as usual.
class BlockMemory {
public:
    explicit BlockMemory(std::size_t bytes);
    BlockMemory(const BlockMemory&) = delete;
    BlockMemory& operator=(const BlockMemory&) = delete;

    std::pmr::memory_resource* resource() { return &m_resource; }

private:
    struct Block {
        std::unique_ptr<std::byte[]> taken;
        std::byte* start;
        std::size_t size;
    };

    static Block blockOf(std::size_t bytes);
    explicit BlockMemory(Block block);

    std::unique_ptr<std::byte[]> m_taken;
    std::pmr::monotonic_buffer_resource m_resource;
};

} // namespace kelvane
