#include "network/NetworkDrawing.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/basGlobal.h"
#include "network/LinkDrawing.h"
#include "network/NetworkGrid.h"
#include "network/NodeDrawing.h"
#include "network/NodeText.h"
#include "network/clsNetwork.h"
#include "platform/Canvas.h"

namespace kelvane::drawing {

namespace {

// In the viewer a disabled node is not drawn at all.
bool hiddenInThisMode(const Node& node)
{
    return !node.Enabled() && basGlobal::ApplicationMode != 0;
}

// Calls `visit(layer, rowHeight, node)` for every node of every layer, in order, skipping
// hidden nodes. A layer without nodes keeps the previous row height.
template <class Visit>
void forEachShownNode(const clsNetwork& network, const NetworkGrid& grid, Visit&& visit)
{
    qint32 rowHeight = 0;
    for (const auto& layer : network.Layers()) {
        const auto& nodes = requireObject(layer)->Nodes();
        if (nodes.Count() > 0)
            rowHeight = grid.rowHeight(nodes.Count());
        for (const auto& node : nodes) {
            if (!hiddenInThisMode(*requireObject(node)))
                visit(*layer, rowHeight, node);
        }
    }
}

void linkPass(const clsNetwork& network, const NetworkGrid& grid, platform::Canvas& canvas)
{
    forEachShownNode(network, grid, [&](const Layer& layer, qint32 rowHeight, const std::shared_ptr<Node>& node) {
        const GridPlace place {layer.Index, node->Index(), rowHeight};
        for (const auto& link : node->Links()) {
            const Node& evidence = *requireObject(requireObject(link)->ConnectionTo);
            if (hiddenInThisMode(evidence))
                continue;
            if (!(evidence.Enabled() && node->Enabled()))
                canvas.setDrawStyle(platform::drawstyle::Dot);
            drawLink(canvas, grid, *node, place, *link);
            canvas.setDrawStyle(platform::drawstyle::Solid);
        }
    });
}

void nodePass(const clsNetwork& network, const NetworkGrid& grid, platform::Canvas& canvas)
{
    canvas.setFillColor(basGlobal::Settings.NodeColour);
    canvas.setFillStyle(platform::fillstyle::Solid);
    forEachShownNode(network, grid, [&](const Layer& layer, qint32, const std::shared_ptr<Node>& node) {
        const GridCell cell = grid.cell(layer.Index, layer.Nodes().Count(), node->Index());
        drawNodeFigure(canvas, *node, cell.centre, cell.radius(), network.Overview);
        if (node->Enabled())
            drawNodeText(canvas, node, cell.centre, network.ShowAnswer);
    });
}

} // namespace

void drawNetwork(clsNetwork& network, platform::Canvas& canvas)
{
    const auto& layers = network.Layers();
    if (layers.Count() == 0)
        return;
    const NetworkGrid grid(canvas.ScaleWidth(), canvas.ScaleHeight(), layers.Count());
    linkPass(network, grid, canvas);
    nodePass(network, grid, canvas);
}

} // namespace kelvane::drawing
