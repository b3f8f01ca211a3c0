#include "tests/support/HeldAllocations.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<qint64> g_objects {0};
std::atomic<qint64> g_bytes {0};

void* counted(std::size_t size) noexcept
{
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory) {
        g_objects.fetch_add(1, std::memory_order_relaxed);
        g_bytes.fetch_add(qint64(malloc_usable_size(memory)), std::memory_order_relaxed);
    }
    return memory;
}

void* countedOrThrow(std::size_t size)
{
    if (void* memory = counted(size))
        return memory;
    throw std::bad_alloc();
}

void released(void* memory) noexcept
{
    if (!memory)
        return;
    g_objects.fetch_sub(1, std::memory_order_relaxed);
    g_bytes.fetch_sub(qint64(malloc_usable_size(memory)), std::memory_order_relaxed);
    std::free(memory);
}

} // namespace

namespace kelvane::test {

HeldAllocations heldAllocations()
{
    return {g_objects.load(), g_bytes.load()};
}

} // namespace kelvane::test

// Every form of the plain operators is replaced, so that no object is freed by another
// allocator than the one that made it.
void* operator new(std::size_t size) { return countedOrThrow(size); }
void* operator new[](std::size_t size) { return countedOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* memory) noexcept { released(memory); }
void operator delete[](void* memory) noexcept { released(memory); }
void operator delete(void* memory, std::size_t) noexcept { released(memory); }
void operator delete[](void* memory, std::size_t) noexcept { released(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { released(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { released(memory); }
