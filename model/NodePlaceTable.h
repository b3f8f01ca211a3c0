#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <type_traits>
#include <vector>

namespace kelvane {

class Node;

// Gives nodes places 0, 1, 2... in the order they come, and finds a node's place by its address
// in one flat table of places: a lookup reads one slot, or the few after it, and the node at the
// place found; nothing is allocated per node. Sized for the nodes expected, it grows when more
// come. A table of `Node` gives back nodes to write; one of `const Node`, nodes to read.
template <class NodeType>
class NodePlaceTable {
    static_assert(std::is_same_v<std::remove_const_t<NodeType>, Node>, "a table of nodes, to write or to read");

public:
    using Place = std::uint32_t;

    explicit NodePlaceTable(std::size_t expected, std::pmr::memory_resource* memory = std::pmr::get_default_resource());

    // The memory a table for that many nodes takes.
    static std::size_t bytesFor(std::size_t expected);

    // Makes room for that many nodes in all.
    void reserve(std::size_t expected);

    // The node's place, given it (the next one) when it has none yet. When that fails, the
    // table is as it was.
    Place placeOf(NodeType& node);
    // The node's place, or nullptr when it has none.
    const Place* find(const Node& node) const;
    // Forgets the nodes from that place on: the next node to come is given that place, and
    // the nodes before it keep theirs.
    void forgetFrom(Place place);

    NodeType& nodeAt(Place place) const { return *m_nodes[place]; }
    std::size_t size() const { return m_nodes.size(); }

private:
    static constexpr Place kEmpty = ~Place(0);

    std::size_t home(const Node& node) const;
    // The slot that holds that place.
    std::size_t slotOf(Place place) const;
    void rehash(std::size_t slots);

    std::pmr::vector<NodeType*> m_nodes; // by place
    std::pmr::vector<Place> m_slots;     // a power of two, at most half full; kEmpty where free
    unsigned m_shift = 0;                // the address's hash is shifted by this to give its home slot
};

extern template class NodePlaceTable<Node>;
extern template class NodePlaceTable<const Node>;

} // namespace kelvane
