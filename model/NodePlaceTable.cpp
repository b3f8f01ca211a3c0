#include "model/NodePlaceTable.h"

#include <algorithm>
#include <bit>

namespace kelvane {

namespace {

constexpr std::size_t kSmallest = 16;

} // namespace

NodePlaceTable::NodePlaceTable(std::size_t expected)
{
    const std::size_t slots = std::bit_ceil(std::max(kSmallest, 2 * expected));
    m_slots.resize(slots);
    m_shift = unsigned(64 - std::countr_zero(slots));
}

std::size_t NodePlaceTable::home(const Node& node) const
{
    // Fibonacci hashing: the high bits of the product spread addresses that differ only in
    // their low bits (nodes made one after the other) over the whole table.
    return std::size_t((std::uint64_t(reinterpret_cast<std::uintptr_t>(&node)) * 0x9E3779B97F4A7C15ULL) >> m_shift);
}

NodePlaceTable::Place NodePlaceTable::placeOf(const Node& node, Place next)
{
    if (2 * (m_count + 1) > m_slots.size())
        grow();
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = home(node);; i = (i + 1) & mask) {
        Slot& slot = m_slots[i];
        if (slot.node == &node)
            return slot.place;
        if (!slot.node) {
            slot = {&node, next};
            ++m_count;
            return next;
        }
    }
}

const NodePlaceTable::Place* NodePlaceTable::find(const Node& node) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = home(node);; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.node == &node)
            return &slot.place;
        if (!slot.node)
            return nullptr;
    }
}

void NodePlaceTable::grow()
{
    std::vector<Slot> slots(2 * m_slots.size());
    slots.swap(m_slots);
    --m_shift;
    m_count = 0;
    for (const Slot& slot : slots) {
        if (slot.node)
            placeOf(*slot.node, slot.place);
    }
}

} // namespace kelvane
