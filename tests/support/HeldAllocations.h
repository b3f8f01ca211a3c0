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

// While it lives, operator new (and new[]) on this thread fails, as memory running out fails
// it, once `allowed` more allocations have been made (in a program that links
// HeldAllocations.cpp).
class RefusedAllocations {
public:
    explicit RefusedAllocations(qint64 allowed);
    ~RefusedAllocations();
    RefusedAllocations(const RefusedAllocations&) = delete;
    RefusedAllocations& operator=(const RefusedAllocations&) = delete;

private:
    qint64 m_outer;
};

} // namespace kelvane::test
