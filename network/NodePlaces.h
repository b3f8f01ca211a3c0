#pragma once

#include <QHash>
#include <QtGlobal>
#include <map>
#include <memory>

namespace kelvane {

class Layer;
class Node;

// The places of nodes in their layers, as Node::Index gives them (the position of the first
// node of the layer that bears the node's number), from a table made once per layer: asking
// for every node of a large layer then costs as much as the layer, not its square. For one
// pass over a network whose layers do not change meanwhile.
class NodePlaces {
public:
    // The node's place; 0 when its number is not in its layer. ObjectNotSet (91) for a node
    // outside any layer.
    qint32 of(const Node& node);

private:
    using Places = QHash<qint32, qint32>; // node number -> place
    const Places& placesIn(const Node& node);

    // The layers are told apart without taking hold of them, which drawings side by side would all
    // do at once on the same layers.
    std::map<std::weak_ptr<Layer>, Places, std::owner_less<>> m_byLayer;
};

} // namespace kelvane
