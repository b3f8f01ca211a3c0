#include "network/NodePlaces.h"

#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"

namespace kelvane {

qint32 NodePlaces::of(const Node& node)
{
    return placesIn(node).value(node.NodeNumber, 0);
}

const NodePlaces::Places& NodePlaces::placesIn(const Node& node)
{
    // A layer found once lives on for the pass: its nodes are known by the layer they name alone.
    if (const auto known = m_byLayer.find(node.Layer); known != m_byLayer.end())
        return known->second;
    const auto layer = requireObject(node.Layer.lock());
    Places& places = m_byLayer[node.Layer];
    qint32 place = 0;
    for (const auto& held : layer->Nodes()) {
        ++place;
        if (held && !places.contains(held->NodeNumber))
            places.insert(held->NodeNumber, place);
    }
    return places;
}

} // namespace kelvane
