#pragma once

#include "model/Layer.h"
#include "model/Node.h"
#include "platform/Collection.h"

#include <memory>
#include <unordered_set>

namespace kelvane {

// Visits the nodes of a network layer by layer, in the way the structure rules walk them,
// while the visits move nodes between layers: a node is visited in the layer that holds it
// when the walk reaches it; layers added during the walk are walked too; nodes that leave the
// layer being walked do not disturb the walk of the others, and nodes that arrive in it are
// visited after those that were there.
template <class Visit>
void walkLayers(Collection<std::shared_ptr<Layer>>& layers, Visit&& visit)
{
    for (qsizetype index = 1; index <= layers.Count(); ++index) {
        const std::shared_ptr<Layer> layer = layers.Item(index);
        std::unordered_set<const Node*> visited;
        bool visitedAny = true;
        while (visitedAny) {
            visitedAny = false;
            for (const auto& node : layer->Nodes().Snapshot()) {
                if (visited.contains(node.get()) || node->Layer.lock() != layer)
                    continue;
                visited.insert(node.get());
                visitedAny = true;
                visit(node);
            }
        }
    }
}

} // namespace kelvane
