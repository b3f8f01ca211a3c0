#pragma once

#include <QtGlobal>
#include <unordered_map>

namespace kelvane {

class Node;

// Whether nodes are Required(), found for many nodes at once: a node is required when a node
// that needs information can be reached from it through links and lower-level nodes (itself
// included). Each node is looked at once however many nodes reach it, where asking every node
// walks again all that it reaches. A node from which a broken link (one without its evidence
// node) or a control that cannot be read is reached is asked itself, so that it gives, or
// fails with, what Required() does. For one pass over networks that do not change meanwhile.
class RequiredNodes {
public:
    bool of(const Node& node);

private:
    enum Reach : quint8 { NeedsInfo = 1, Broken = 2 };
    void explore(const Node& start);

    std::unordered_map<const Node*, quint8> m_reach; // finished nodes: what they reach
};

} // namespace kelvane
