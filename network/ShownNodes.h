#pragma once

#include "model/Layer.h"
#include "model/Node.h"
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "platform/RuntimeError.h"

namespace kelvane::drawing {

// In the viewer a disabled node is not drawn at all.
inline bool hiddenInThisMode(const Node& node)
{
    return !node.Enabled() && basGlobal::ApplicationMode != 0;
}

// Calls `visit(layer, node)` for every node of every layer, in order, skipping hidden nodes. A
// missing layer or node raises Object variable not set (91), as it ends a drawing.
// The references are looked at, not copied: drawings side by side walk the same nodes, and a
// copy of each would have them all write to every node's count of references.
template <class Visit>
void forEachShownNode(const clsNetwork& network, Visit&& visit)
{
    for (const auto& layer : network.Layers()) {
        if (!layer)
            raiseError(err::ObjectNotSet);
        for (const auto& node : layer->Nodes()) {
            if (!node)
                raiseError(err::ObjectNotSet);
            if (!hiddenInThisMode(*node))
                visit(*layer, node);
        }
    }
}

// Calls `visit(layer, node)` for every shown node, in order, as far as the network can be walked and
// `visit` says to go on (true); true when every node was visited, false when a missing layer or
// node, or `visit`, ended the walk.
template <class Visit>
bool forEachShownNodeAsFarAsItGoes(const clsNetwork& network, Visit&& visit)
{
    for (const auto& layer : network.Layers()) {
        if (!layer)
            return false;
        for (const auto& node : layer->Nodes()) {
            if (!node || (!hiddenInThisMode(*node) && !visit(*layer, node)))
                return false;
        }
    }
    return true;
}

} // namespace kelvane::drawing
