#pragma once

#include "model/AbstractNetwork.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "network/clsNetwork.h"
#include "platform/Conversions.h"

#include <memory>

// Small helpers shared by the source files of the diagram control.
namespace kelvane::diagramsupport {

// The module name the control's procedures report their failures under.
inline constexpr const char* kModule = "ctlPelnet";

// The network class behind a network the model holds (every network of the control is one).
inline std::shared_ptr<clsNetwork> networkClass(const std::shared_ptr<AbstractNetwork>& network)
{
    return std::dynamic_pointer_cast<clsNetwork>(requireObject(network));
}

// The network a node stands for; ObjectNotSet when it stands for none.
inline std::shared_ptr<clsNetwork> lowerLevelNetworkOf(const Node& node)
{
    return requireObject(networkClass(node.LowerLevelNetwork));
}

// The network that holds a node; ObjectNotSet when it belongs to none.
inline std::shared_ptr<clsNetwork> owningNetworkOf(const Node& node)
{
    return requireObject(networkClass(node.Network.lock()));
}

// Calls `visit(node)` for every node of every layer of the network, in order.
template <class Visit>
void forEachNode(clsNetwork& network, Visit&& visit)
{
    for (const auto& layer : network.Layers().Snapshot()) {
        for (const auto& node : requireObject(layer)->Nodes().Snapshot())
            visit(requireObject(node));
    }
}

} // namespace kelvane::diagramsupport
