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

template <class NodeType>
NodePlaceTable<NodeType>::NodePlaceTable(std::size_t expected, std::pmr::memory_resource* memory)
    : m_nodes(memory), m_slots(memory)
{
    m_nodes.reserve(expected);
    rehash(slotsFor(expected));
}

template <class NodeType>
std::size_t NodePlaceTable<NodeType>::bytesFor(std::size_t expected)
{
    return expected * sizeof(NodeType*) + slotsFor(expected) * sizeof(Place);
}

template <class NodeType>
void NodePlaceTable<NodeType>::reserve(std::size_t expected)
{
    m_nodes.reserve(expected);
    if (slotsFor(expected) > m_slots.size())
        rehash(slotsFor(expected));
}

template <class NodeType>
std::size_t NodePlaceTable<NodeType>::home(const Node& node) const
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

template <class NodeType>
typename NodePlaceTable<NodeType>::Place NodePlaceTable<NodeType>::placeOf(NodeType& node)
{
    if (2 * (m_nodes.size() + 1) > m_slots.size())
        rehash(2 * m_slots.size());
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = home(node);; i = (i + 1) & mask) {
        Place& slot = m_slots[i];
        if (slot == kEmpty) {
            const auto place = Place(m_nodes.size());
            m_nodes.push_back(&node); // first: no slot names a place that has no node
            slot = place;
            return place;
        }
        if (m_nodes[slot] == &node)
            return slot;
    }
}

template <class NodeType>
const typename NodePlaceTable<NodeType>::Place* NodePlaceTable<NodeType>::find(const Node& node) const
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

template <class NodeType>
void NodePlaceTable<NodeType>::forgetFrom(Place place)
{
    // Taken from the last place back, each forgotten node undoes its own coming: it took the
    // first free slot from its home when the nodes before it were all the table held (a growth
    // puts them back in the order of their places). Emptying that slot leaves the slots as the
    // nodes before it left them, every run as short as if the forgotten nodes had never come.
    for (Place last = Place(m_nodes.size()); last-- > place;)
        m_slots[slotOf(last)] = kEmpty;
    m_nodes.resize(place);
}

template <class NodeType>
std::size_t NodePlaceTable<NodeType>::slotOf(Place place) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = home(*m_nodes[place]);
    while (m_slots[i] != place)
        i = (i + 1) & mask;
    return i;
}

template <class NodeType>
void NodePlaceTable<NodeType>::rehash(std::size_t slots)
{
    std::pmr::vector<Place> fresh(slots, kEmpty, m_slots.get_allocator()); // when this fails, nothing has changed
    m_slots.swap(fresh);
    m_shift = unsigned(64 - std::countr_zero(slots));
    const std::size_t mask = slots - 1;
    for (Place place = 0; place < m_nodes.size(); ++place) {
        std::size_t i = home(*m_nodes[place]);
        while (m_slots[i] != kEmpty)
            i = (i + 1) & mask;
        m_slots[i] = place;
    }
}

template class NodePlaceTable<Node>;
template class NodePlaceTable<const Node>;

} // namespace kelvane
