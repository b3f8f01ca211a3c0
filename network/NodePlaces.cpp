#include "network/NodePlaces.h"

#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"

namespace kelvane {

qint32 NodePlaces::of(const Node& node)
{
    const auto layer = requireObject(node.Layer.lock());
    auto table = m_byLayer.find(layer.get());
    if (table == m_byLayer.end()) {
        table = m_byLayer.insert(layer.get(), {});
        qint32 place = 0;
        for (const auto& held : layer->Nodes()) {
            ++place;
            if (held && !table->contains(held->NodeNumber))
                table->insert(held->NodeNumber, place);
        }
    }
    return table->value(node.NodeNumber, 0);
}

} // namespace kelvane
