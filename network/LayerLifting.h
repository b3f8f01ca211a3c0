#pragma once

#include <QHash>
#include <memory>
#include <vector>

namespace kelvane {

class Node;
class clsNetwork;

// The layer structure rules worked on a compact copy of a network's layering: each node a
// number, each layer a queue of nodes in their order. A lift is the network's MoveNodeUp,
// targets that no other parent holds following the node up, depth first in link order; a walk
// is the structure rules' walk over the layers, a node visited in the layer that holds it when
// the walk gets there, nodes arriving in that layer visited after those that were there.
//
// The rules are followed to the letter, move by move, with what each move costs on the
// network taken out: a move costs the same however large its layer, and a node that rises
// several layers with nothing to take along rises in one step (it is in no layer long enough
// for the walk to meet it there). commit() gives the network the layering reached.
class LayerLifting {
public:
    // Numbers the network's nodes. ObjectNotSet (91) for a layer, node or link evidence that
    // is missing, as the rules would meet it.
    explicit LayerLifting(clsNetwork& network);

    qsizetype nodeCount() const { return static_cast<qsizetype>(m_nodes.size()); }
    int layerCount() const { return m_layerCount; }
    int layerOf(int node) const { return m_layer[std::size_t(node)]; }
    // The node's parents in the network, in the order of its Parents.
    const std::vector<int>& parentsOf(int node) const { return m_parents[std::size_t(node)]; }
    bool hasParents(int node) const;

    // Puts every node into layer 1: the nodes of the last layer first, then those of the
    // layer below it, down to layer 1's own. The other layers stay, empty.
    void collapseIntoFirstLayer();

    // The layers a node must rise to stand above every node its links lead to; 0 when it does.
    int liftsNeeded(int node) const;

    // MoveNodeUp `times` times.
    void lift(int node, int times);

    // One walk of Structure: each node the walk reaches is lifted until it stands above every
    // node its links lead to. True when a node was lifted.
    //
    // A walk over a layering that is being made from one layer (a chain laid out top node
    // first, a network collapsed by ReStructure) lifts most nodes by one layer in each layer
    // it walks, so the moves are as many as the square of the network's depth. Such nodes
    // are moved together: while every node of the layer walked rises by one with nothing to
    // take along (its targets either rise with it, later in the layer, or are held below), the
    // layer's nodes are not visited one by one; only those that stop are put in place. The
    // layering reached is the one the moves give one by one.
    bool mendingWalk();

    // Calls visit(node) for each node as the structure rules walk the layers.
    template <class Visit>
    void walk(Visit&& visit)
    {
        for (int layer = 1; layer <= m_layerCount; ++layer) {
            // The queue grows while the walk visits it.
            for (std::size_t place = 0; place < m_queues[std::size_t(layer)].size(); ++place) {
                const int node = m_queues[std::size_t(layer)][place];
                if (m_layer[std::size_t(node)] == layer && m_place[std::size_t(node)] == place)
                    visit(node);
            }
        }
    }

    // Gives the network the layering reached: each layer's nodes in their order, each node its
    // layer, layers added as the lifts needed them. True unless a layer could not be added.
    bool commit();

private:
    // The nodes rising together through the walk's layers (see mendingWalk).
    struct Riders;
    // Visits the nodes of one layer one by one; fills `risen` with the nodes that rose by
    // exactly one layer with nothing to take along, and returns whether every move of the
    // layer was such a one. Sets `lifted` when a node rose.
    bool visitLayer(int layer, std::vector<int>& risen, bool& lifted);
    // Lets the nodes that rose into `layer` ride on together, when that layer holds them alone,
    // each rises no faster than its targets and none leaves a target behind unheld.
    bool startRiding(Riders& riders, int layer, const std::vector<int>& risen) const;
    // The walk at `layer` while riding: the riders with no rising target stop there, the
    // others rise. False, with nothing done, when a rising rider would take a node along.
    bool rideThrough(Riders& riders, int layer);
    // The riders take their places in `layer`, to be walked one by one.
    void stopRiding(Riders& riders, int layer);

    void moveTo(int node, int layer);
    bool heldByOthers(int node, int apartFrom) const;
    bool held(int node) const;
    void liftOnce(int node);
    // The first of `times` lifts of the node that would take a target along (1-based); 0 for none.
    int firstLiftTakingAlong(int node, int times) const;

    clsNetwork& m_network;
    std::vector<std::shared_ptr<Node>> m_nodes;
    std::vector<std::vector<int>> m_targets;    // link order
    std::vector<std::vector<int>> m_parents;    // parents in this network, by number
    std::vector<std::vector<int>> m_outsideParents; // layers of parents outside the network
    std::vector<int> m_layer;                   // 1-based
    std::vector<std::size_t> m_place;           // the node's place in its layer's queue
    std::vector<std::vector<int>> m_queues;     // by layer; entries of nodes that moved on go stale
    int m_layerCount = 0;
    bool m_moved = false;
};

} // namespace kelvane
