#pragma once

#include "platform/Collection.h"

#include <memory>

namespace kelvane {

// A walk over a long collection of nodes or links reads a few cache lines of each, and each
// item lies apart from the others in memory: unless its lines are asked for before the walk
// comes to it, the walk waits on memory at every step. These ask ahead; a request is a hint
// only, which never fails.

// How many steps ahead a walk asks for the items it will read: enough for memory to answer
// while the walk works on the items before.
constexpr qsizetype kReadAheadSteps = 32;

// Asks for the cache line holding `address`, any address (even one of memory since freed).
inline void readAhead(const void* address)
{
    __builtin_prefetch(address);
}

// At `place` of a walk by place over `items`: `far` asks for what the walk reads of the item
// 2 * kReadAheadSteps ahead, `near` for what it reads through the item kReadAheadSteps ahead
// (a link's evidence node, a node's parents). `near` may read its item: what `far` asked for
// has come by then.
template <class T, class Far, class Near>
void readAheadOf(const Collection<std::shared_ptr<T>>& items, qsizetype place, Far&& far, Near&& near)
{
    const qsizetype count = items.Count();
    if (place + 2 * kReadAheadSteps <= count) {
        if (const T* item = items.Item(place + 2 * kReadAheadSteps).get())
            far(*item);
    }
    if (place + kReadAheadSteps <= count) {
        if (const T* item = items.Item(place + kReadAheadSteps).get())
            near(*item);
    }
}

} // namespace kelvane
