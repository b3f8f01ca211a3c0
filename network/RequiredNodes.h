#pragma once

#include "model/NodePlaceTable.h"

#include <QtGlobal>
#include <utility>
#include <vector>

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
    // Room is made, when the first node is asked about, for about that many nodes (a network's).
    explicit RequiredNodes(qsizetype nodesExpected = 0)
        : m_nodesExpected(nodesExpected)
    {
    }

    bool of(const Node& node);

private:
    // The visits are numbered in the order the walks come to the nodes, from 0.
    using VisitNumber = NodePlaceTable<const Node>::Place;

    enum Reach : quint8 { NeedsInfo = 1, Broken = 2 };
    // A node a walk came to: what it reaches (all of it once its walk is over).
    struct Visit {
        VisitNumber lowest = 0; // the earliest visit on the stack it leads back to
        quint8 reach = 0;
        bool onStack = false;
        bool finished = false;
    };
    // A node whose successors a walk is going through.
    struct Frame {
        VisitNumber visit;
        qsizetype next = 0; // the successor to look at next
    };
    // The node's visit, and whether it is new (its walk is to begin).
    std::pair<VisitNumber, bool> visitOf(const Node& node);
    // Lets go of the visits from that one on.
    void forgetFrom(VisitNumber visit);
    void explore(VisitNumber start);

    qsizetype m_nodesExpected;
    NodePlaceTable<const Node> m_nodes {0}; // the nodes visited, each at its visit's number
    std::vector<Visit> m_visits;            // by number
    // The walk's stack of visits and its frames, kept from walk to walk: a walk begins with both
    // empty, and most walks are short.
    std::vector<VisitNumber> m_stack;
    std::vector<Frame> m_frames;
};

} // namespace kelvane
