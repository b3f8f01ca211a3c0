#pragma once

#include "model/AbstractNetwork.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/basGlobal.h"
#include "model/clsControl.h"
#include "network/NetworkGrid.h"
#include "network/NodePlaces.h"
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

// The layer that holds a node; ObjectNotSet when it is in none.
inline std::shared_ptr<Layer> layerOf(const Node& node)
{
    return requireObject(node.Layer.lock());
}

// The grid of the network over a surface of the given size; DivisionByZero without layers.
inline NetworkGrid gridOf(const clsNetwork& network, double scaleWidth, double scaleHeight)
{
    return NetworkGrid(scaleWidth, scaleHeight, network.Layers().Count());
}

// The node's cell on the grid.
inline GridCell cellOf(const NetworkGrid& grid, const Node& node)
{
    const auto layer = layerOf(node);
    return grid.cell(layer->Index, layer->Nodes().Count(), node.Index());
}

// Calls `visit(node, cell)` for every node of the network, in layer and node order, with
// its cell on the grid over a surface of the given size. A node's row is its Index(), found
// from a table made once per layer; `visit` must leave the layers' nodes as they are.
template <class Visit>
void forEachNodeCell(clsNetwork& network, double scaleWidth, double scaleHeight, Visit&& visit)
{
    if (network.Layers().Count() == 0)
        return;
    const NetworkGrid grid = gridOf(network, scaleWidth, scaleHeight);
    NodePlaces places;
    for (const auto& layer : network.Layers().Snapshot()) {
        const auto nodes = requireObject(layer)->Nodes().Snapshot();
        if (nodes.empty())
            continue;
        const qint32 rowHeight = grid.rowHeight(qsizetype(nodes.size()));
        for (const auto& node : nodes) {
            const auto& held = requireObject(node);
            visit(held, GridCell {grid.columnWidth(), rowHeight,
                                  QPointF(grid.centreX(layer->Index), NetworkGrid::centreY(places.of(*held), rowHeight))});
        }
    }
}

// Gives the node a copy of each control definition whose name none of its controls has.
// Names compare without regard to case, as the node's controls are keyed.
inline void addMissingControls(Node& node, const Collection<std::shared_ptr<clsControl>>& definitions)
{
    for (const auto& definition : definitions) {
        const QString& name = requireObject(definition)->Name;
        bool held = node.Controls().Contains(name);
        for (const auto& own : node.Controls())
            held = held || requireObject(own)->Name.compare(name, Qt::CaseInsensitive) == 0;
        if (!held)
            node.Controls().Add(definition->Clone(), name);
    }
}

// Selection marks set by the pointer leave the keyboard focus where it is, so that marking
// one node does not, through its narrator button, unmark the others.
class QuietSelection {
public:
    QuietSelection() : m_before(basGlobal::NarratorSelecting) { basGlobal::NarratorSelecting = true; }
    ~QuietSelection() { basGlobal::NarratorSelecting = m_before; }
    QuietSelection(const QuietSelection&) = delete;
    QuietSelection& operator=(const QuietSelection&) = delete;

private:
    bool m_before;
};

// Clears the selection mark of every node of the network.
inline void clearSelection(clsNetwork& network)
{
    forEachNode(network, [](const std::shared_ptr<Node>& node) { node->setSelected(false); });
}

} // namespace kelvane::diagramsupport
