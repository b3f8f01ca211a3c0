#include "network/NetworkDrawing.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/basGlobal.h"
#include "network/LinkDrawing.h"
#include "network/NetworkGrid.h"
#include "network/NodeDrawing.h"
#include "network/NodePlaces.h"
#include "network/NodeText.h"
#include "network/RequiredNodes.h"
#include "network/clsNetwork.h"
#include "platform/Canvas.h"

namespace kelvane::drawing {

namespace {

// In the viewer a disabled node is not drawn at all.
bool hiddenInThisMode(const Node& node)
{
    return !node.Enabled() && basGlobal::ApplicationMode != 0;
}

// Calls `visit(layer, node)` for every node of every layer, in order, skipping hidden nodes.
template <class Visit>
void forEachShownNode(const clsNetwork& network, Visit&& visit)
{
    for (const auto& layer : network.Layers()) {
        for (const auto& node : requireObject(layer)->Nodes()) {
            if (!hiddenInThisMode(*requireObject(node)))
                visit(*layer, node);
        }
    }
}

GridCell cellOf(const NetworkGrid& grid, NodePlaces& places, const Layer& layer, const Node& node)
{
    return grid.cell(layer.Index, layer.Nodes().Count(), places.of(node));
}

void linkPass(const clsNetwork& network, const NetworkGrid& grid, NodePlaces& places, platform::Canvas& canvas)
{
    forEachShownNode(network, [&](const Layer& layer, const std::shared_ptr<Node>& node) {
        const GridPlace place {layer.Index, places.of(*node), cellOf(grid, places, layer, *node).rowHeight};
        for (const auto& link : node->Links()) {
            const Node& evidence = *requireObject(requireObject(link)->ConnectionTo);
            if (hiddenInThisMode(evidence))
                continue;
            if (!(evidence.Enabled() && node->Enabled()))
                canvas.setDrawStyle(platform::drawstyle::Dot);
            drawLink(canvas, grid, places, *node, place, *link);
            canvas.setDrawStyle(platform::drawstyle::Solid);
        }
    });
}

// Whether the link pass draws a link before it could fail: a shown node's link to a shown
// evidence node.
bool drawsALink(const clsNetwork& network)
{
    for (const auto& layer : network.Layers()) {
        if (!layer)
            return false;
        for (const auto& node : layer->Nodes()) {
            if (!node)
                return false;
            if (hiddenInThisMode(*node))
                continue;
            for (const auto& link : node->Links()) {
                if (!link || !link->ConnectionTo)
                    return false;
                if (!hiddenInThisMode(*link->ConnectionTo))
                    return true;
            }
        }
    }
    return false;
}

void nodePass(const clsNetwork& network, const NetworkGrid& grid, NodePlaces& places, platform::Canvas& canvas)
{
    canvas.setFillColor(basGlobal::Settings.NodeColour);
    canvas.setFillStyle(platform::fillstyle::Solid);
    RequiredNodes required;
    forEachShownNode(network, [&](const Layer& layer, const std::shared_ptr<Node>& node) {
        const GridCell cell = cellOf(grid, places, layer, *node);
        drawNodeFigure(canvas, *node, cell.centre, cell.radius(), network.Overview);
        if (node->Enabled())
            drawNodeText(canvas, node, cell.centre, network.ShowAnswer, required);
    });
}

} // namespace

std::optional<NodeCursor> measureNamesAhead(clsNetwork& network, platform::Canvas& canvas, NodeCursor from,
                                            const std::function<bool()>& enough)
{
    const auto& layers = network.Layers();
    for (NodeCursor at = from; at.layer >= 1 && at.layer <= layers.Count(); ++at.layer, at.node = 1) {
        const auto& layer = layers.Item(at.layer);
        if (!layer)
            continue;
        for (; at.node >= 1 && at.node <= layer->Nodes().Count(); ++at.node) {
            if (enough())
                return at;
            const auto& node = layer->Nodes().Item(at.node);
            if (node && node->Enabled() && !hiddenInThisMode(*node))
                measureNodeName(canvas, *node);
        }
    }
    return std::nullopt;
}

void drawNetwork(clsNetwork& network, platform::Canvas& canvas)
{
    const auto& layers = network.Layers();
    if (layers.Count() == 0)
        return;
    const NetworkGrid grid(canvas.ScaleWidth(), canvas.ScaleHeight(), layers.Count());
    // The node pass begins in the draw style the link pass leaves: solid once it drew a link.
    const bool linksDrawn = drawsALink(network);
    canvas.drawLayered(
        [&](platform::Canvas& links) {
            // In a crowded network many links land on the same pixels.
            links.drawLeavingOutRepaintedLines([&](platform::Canvas& lines) {
                NodePlaces places;
                linkPass(network, grid, places, lines);
            });
        },
        [&](platform::Canvas& nodes) {
            if (linksDrawn)
                nodes.setDrawStyle(platform::drawstyle::Solid);
            NodePlaces places;
            nodePass(network, grid, places, nodes);
        });
}

} // namespace kelvane::drawing
