#pragma once

#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"

#include <memory>

// Small helpers shared by the source files of the network class.
namespace kelvane::networksupport {

// The module name the network's operations report their failures under.
inline constexpr const char* kModule = "clsNetwork";

// The index of the layer that holds the node; ObjectNotSet for a node outside any layer.
inline qint16 layerIndexOf(const Node& node)
{
    return requireObject(node.Layer.lock())->Index;
}

// The 1-based position of the node itself in the layer; SubscriptOutOfRange when it is not there.
inline qsizetype positionInLayer(const Layer& layer, const Node& node)
{
    qsizetype position = 0;
    for (const auto& held : layer.Nodes()) {
        ++position;
        if (held.get() == &node)
            return position;
    }
    raiseError(err::SubscriptOutOfRange);
}

// Removes every entry of `node`'s Parents that is `parent`.
inline void removeParentEntries(Node& node, const Node& parent)
{
    auto& parents = node.Parents();
    for (qsizetype position = parents.Count(); position >= 1; --position) {
        if (parents.Item(position).lock().get() == &parent)
            parents.Remove(position);
    }
}

} // namespace kelvane::networksupport
