#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kelvane {

class Node;

// The places given to nodes, found by the node's address in one flat table: a lookup reads one
// slot, or the few after it, and nothing is allocated per node. Sized for the nodes expected,
// it grows when more come.
class NodePlaceTable {
public:
    using Place = std::uint32_t;

    explicit NodePlaceTable(std::size_t expected);

    // The node's place; `next` when it has none yet, which it is given.
    Place placeOf(const Node& node, Place next);
    // The node's place, or nullptr when it has none.
    const Place* find(const Node& node) const;

private:
    struct Slot {
        const Node* node = nullptr;
        Place place = 0;
    };

    std::size_t home(const Node& node) const;
    void grow();

    std::vector<Slot> m_slots; // a power of two, at most half full
    unsigned m_shift = 0;      // the address's hash is shifted by this to give its home slot
    std::size_t m_count = 0;
};

} // namespace kelvane
