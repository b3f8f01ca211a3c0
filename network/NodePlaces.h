#pragma once

#include <QHash>
#include <QtGlobal>
#include <map>
#include <memory>
#include <vector>

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
    // Node number -> place: a table by number where the layer's numbers lie close together (they
    // run through the network), else a hash.
    class Places {
    public:
        explicit Places(const Layer& layer);
        qint32 of(qint32 number) const;

    private:
        qint32 m_lowest = 0;
        std::vector<qint32> m_byNumber; // from m_lowest; 0 where no node bears the number
        QHash<qint32, qint32> m_scattered;
    };
    const Places& placesIn(const Node& node);

    // The layers are told apart without taking hold of them, which drawings side by side would all
    // do at once on the same layers.
    std::map<std::weak_ptr<Layer>, Places, std::owner_less<>> m_byLayer;
};

} // namespace kelvane
