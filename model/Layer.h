#pragma once

#include "platform/Collection.h"

#include <QtGlobal>
#include <memory>

namespace kelvane {

class AbstractKnowledgeBase;
class AbstractNetwork;
class Node;

// One row of nodes of a network.
class Layer {
public:
    Layer() = default;
    // Clears the links and lower-level node references of the nodes the layer still holds,
    // so that references read from a file that form a cycle do not keep their nodes alive.
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // The nodes in their order on the row.
    Collection<std::shared_ptr<Node>>& Nodes() { return m_nodes; }
    const Collection<std::shared_ptr<Node>>& Nodes() const { return m_nodes; }

    qint32 Index = 0; // the layer's number in its network

    // Set for every layer when its network is given to a knowledge base; empty in a copy.
    std::weak_ptr<AbstractKnowledgeBase> KnowledgeBase;

    // Program-internal: the network that holds the layer (set by the network).
    std::weak_ptr<AbstractNetwork> Network;

    // Asks the layer's network to add a new node at the end of this layer. Failures are
    // reported through the common error reporter.
    void AddNode();

    // A copy with a copy of every node (new GUIDs when asked); same Index, no knowledge base.
    std::shared_ptr<Layer> Clone(bool bNewGuids);

    // Program-internal: the network the layer's edits go to: its own network, else the
    // knowledge base's. Raises ObjectNotSet when it has neither.
    std::shared_ptr<AbstractNetwork> OwningNetwork() const;

private:
    Collection<std::shared_ptr<Node>> m_nodes;
};

} // namespace kelvane
