#pragma once

#include "network/ReadGUIDTable.h"

#include <QString>
#include <cstddef>
#include <memory>
#include <vector>

namespace platform {
class RangeWorkers;
} // namespace platform

namespace kelvane {

class Node;
class clsNetwork;

// The nodes a document reader has read, in reading order, until they are linked and placed
// in their network. Lookups go through GUID maps, so linking is linear in the document.
class ReadNodeSet {
public:
    ReadNodeSet() = default;
    // Clears the links of nodes that were never placed, so that links forming a cycle do
    // not keep them alive after a failed read.
    ~ReadNodeSet();
    ReadNodeSet(const ReadNodeSet&) = delete;
    ReadNodeSet& operator=(const ReadNodeSet&) = delete;

    // Keeps a node read from the document. A node whose GUID is empty or already taken by
    // an earlier node gets a new GUID, so that every node read reaches the network.
    void add(std::shared_ptr<Node> node);

    // Makes room for `more` nodes to be kept, so that keeping them moves nothing that
    // shareReferencesToNodesRead reads.
    void makeRoom(qsizetype more);

    // Gives each link of `node` (one not kept yet) that names a node already kept that node's
    // GUID text in place of its own copy. A document mostly links to nodes written before:
    // their copies are let go while the next nodes are read, rather than all at the end. May
    // run on other threads while add() keeps the nodes room was made for.
    void shareReferencesToNodesRead(Node& node) const;

    qsizetype count() const { return static_cast<qsizetype>(m_nodes.size()); }

    // Connects every link to the first node read whose GUID is the link's target reference,
    // or, with `newGUIDs`, whose old GUID is (the reference then becomes the new GUID). The
    // holder becomes a parent of the target. A link whose target was not read is dropped. The
    // links are joined on `workers`.
    void connectLinks(bool newGUIDs, platform::RangeWorkers& workers);

    // Places every node in the network, ordered by the layer index read (below 1 counts as 1),
    // then the node index read, then reading order. Layers are added up to the highest layer
    // index, empty ones included, but never more layers than nodes: indexes beyond that close up
    // in their order. Places within a layer close up. Nodes are numbered in placing order from 1.
    void placeInto(clsNetwork& network);

private:
    // Joins the links of the node read at `holderAt` to their targets, writing the reading
    // position of each link's target (-1 for none, the link then dropped) to `targets`.
    template <class TargetOf>
    void joinLinks(std::size_t holderAt, const TargetOf& targetOf, qsizetype* targets) const;
    // Gives the nodes read at [begin, end) their parents: the holders of the links whose
    // targets (`targets`, the links of holder i from firstLink[i]) they are.
    void giveParents(std::size_t begin, std::size_t end, const std::vector<std::size_t>& firstLink,
                     const std::vector<qsizetype>& targets) const;

    std::vector<std::shared_ptr<Node>> m_nodes;
    std::size_t m_room = 0; // the nodes room was made for
    ReadGUIDTable m_byGUID {m_nodes};
};

} // namespace kelvane
