#include "tests/support/HeldAllocations.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <malloc.h>
#include <new>
#include <utility>

namespace {

std::atomic<qint64> g_objects {0};
std::atomic<qint64> g_bytes {0};
constexpr qint64 kUnlimited = -1;
thread_local qint64 t_allowed = kUnlimited; // the allocations this thread may still make

bool refused() noexcept
{
    if (t_allowed == kUnlimited)
        return false;
    if (t_allowed == 0)
        return true;
    --t_allowed;
    return false;
}

void* counted(std::size_t size, std::size_t alignment = alignof(std::max_align_t)) noexcept
{
    if (refused())
        return nullptr;
    size = std::max<std::size_t>(size, 1);
    void* memory = alignment <= alignof(std::max_align_t)
                       ? std::malloc(size)
                       : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
    if (memory) {
        g_objects.fetch_add(1, std::memory_order_relaxed);
        g_bytes.fetch_add(qint64(malloc_usable_size(memory)), std::memory_order_relaxed);
    }
    return memory;
}

void* countedOrThrow(std::size_t size, std::size_t alignment = alignof(std::max_align_t))
{
    if (void* memory = counted(size, alignment))
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

RefusedAllocations::RefusedAllocations(qint64 allowed)
    : m_outer(std::exchange(t_allowed, allowed))
{
}

RefusedAllocations::~RefusedAllocations()
{
    t_allowed = m_outer;
}

} // namespace kelvane::test

// Every form of the plain and aligned operators is replaced, so that no object is freed by
// another allocator than the one that made it (the memory resources of the standard library
// allocate through the aligned ones).
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
void* operator new(std::size_t size, std::align_val_t alignment) { return countedOrThrow(size, std::size_t(alignment)); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return countedOrThrow(size, std::size_t(alignment)); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return counted(size, std::size_t(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return counted(size, std::size_t(alignment));
}
void operator delete(void* memory, std::align_val_t) noexcept { released(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { released(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { released(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { released(memory); }
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept { released(memory); }
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept { released(memory); }
