#pragma once

#include <QtGlobal>

namespace kelvane::test {

// The objects made through operator new (and new[]) that are still held, and their bytes as
// the allocator gives them. A test program that links HeldAllocations.cpp has every such
// allocation of the program counted, on every thread.
struct HeldAllocations {
    qint64 objects = 0;
    qint64 bytes = 0;
};

HeldAllocations heldAllocations();

} // namespace kelvane::test
