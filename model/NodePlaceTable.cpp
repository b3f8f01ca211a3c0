#include "model/NodePlaceTable.h"

#include <algorithm>
#include <bit>

namespace kelvane {

namespace {

constexpr std::size_t kSmallest = 16;

std::size_t slotsFor(std::size_t expected)
{
    return std::bit_ceil(std::max(kSmallest, 2 * expected));
}

} // namespace

NodePlaceTable::NodePlaceTable(std::size_t expected, std::pmr::memory_resource* memory)
    : m_nodes(memory), m_slots(memory)
{
    const std::size_t slots = slotsFor(expected);
    m_nodes.reserve(expected);
    m_slots.assign(slots, kEmpty);
    m_shift = unsigned(64 - std::countr_zero(slots));
}

std::size_t NodePlaceTable::bytesFor(std::size_t expected)
{
    return expected * sizeof(Node*) + slotsFor(expected) * sizeof(Place);
}

std::size_t NodePlaceTable::home(const Node& node) const
{
    // Nodes made one after the other lie a fixed distance apart, and multiplying such addresses
    // alone (Fibonacci hashing) can bring their homes together in runs of hundreds for some
    // distances and table sizes. The address's high bits are folded into its low ones first;
    // the high bits of the product then spread them over the whole table.
    std::uint64_t address = std::uint64_t(reinterpret_cast<std::uintptr_t>(&node));
    address ^= address >> 33;
    address *= 0xFF51AFD7ED558CCDULL;
    address ^= address >> 33;
    return std::size_t((address * 0x9E3779B97F4A7C15ULL) >> m_shift);
}

NodePlaceTable::Place NodePlaceTable::placeOf(Node& node)
{
    if (2 * (m_nodes.size() + 1) > m_slots.size())
        grow();
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = home(node);; i = (i + 1) & mask) {
        Place& slot = m_slots[i];
        if (slot == kEmpty) {
            slot = Place(m_nodes.size());
            m_nodes.push_back(&node);
            return slot;
        }
        if (m_nodes[slot] == &node)
            return slot;
    }
}

const NodePlaceTable::Place* NodePlaceTable::find(const Node& node) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = home(node);; i = (i + 1) & mask) {
        const Place& slot = m_slots[i];
        if (slot == kEmpty)
            return nullptr;
        if (m_nodes[slot] == &node)
            return &slot;
    }
}

void NodePlaceTable::grow()
{
    m_slots.assign(2 * m_slots.size(), kEmpty);
    --m_shift;
    const std::size_t mask = m_slots.size() - 1;
    for (Place place = 0; place < m_nodes.size(); ++place) {
        std::size_t i = home(*m_nodes[place]);
        while (m_slots[i] != kEmpty)
            i = (i + 1) & mask;
        m_slots[i] = place;
    }
}

} // namespace kelvane
