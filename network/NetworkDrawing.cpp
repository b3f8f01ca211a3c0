#include "network/NetworkDrawing.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/basGlobal.h"
#include "network/LinkDrawing.h"
#include "network/NetworkGrid.h"
#include "network/NodeDrawing.h"
#include "network/NodePlaces.h"
#include "network/NodeRuns.h"
#include "network/NodeText.h"
#include "network/RequiredNodes.h"
#include "network/ShownNodes.h"
#include "network/clsNetwork.h"
#include "platform/Canvas.h"

namespace kelvane::drawing {

namespace {

void linkPass(const clsNetwork& network, const NetworkGrid& grid, NodePlaces& places, platform::Canvas& canvas)
{
    forEachShownNode(network, [&](const Layer& layer, const std::shared_ptr<Node>& node) {
        const GridPlace place {layer.Index, places.of(*node), cellOf(grid, places, layer, *node).rowHeight};
        for (const auto& link : node->Links()) {
            if (!link || !link->ConnectionTo)
                raiseError(err::ObjectNotSet);
            const Node& evidence = *link->ConnectionTo;
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
    bool drawn = false;
    forEachShownNodeAsFarAsItGoes(network, [&](const Layer&, const std::shared_ptr<Node>& node) {
        for (const auto& link : node->Links()) {
            if (!link || !link->ConnectionTo)
                return false;
            if (!hiddenInThisMode(*link->ConnectionTo)) {
                drawn = true;
                return false;
            }
        }
        return true;
    });
    return drawn;
}

// Draws the run's nodes, each with its name and caption; the nodes of one drawing share
// `required`. A run settled ahead draws each node once `settled` has its text, and ends where
// settling stopped (with the error of a figure that fails there).
void nodePass(const clsNetwork& network, const NetworkGrid& grid, platform::Canvas& canvas, RequiredNodes& required,
              const NodeRun& run, const SettledNodes& settled, bool linksDrawn)
{
    if (run.settledAhead && !settled.waitFor(run.first) && !settled.figureFailsAt(run.first))
        return; // the drawing ends before the run
    run.begin(canvas, linksDrawn);
    NodePlaces places;
    qsizetype place = 0;
    bool ended = false;
    forEachShownNode(network, [&](const Layer& layer, const std::shared_ptr<Node>& node) {
        const qsizetype at = place++;
        if (ended || !run.holds(at))
            return;
        ended = run.settledAhead && !settled.waitFor(at);
        if (ended && !settled.figureFailsAt(at))
            return;
        const GridCell cell = cellOf(grid, places, layer, *node);
        drawNodeFigure(canvas, *node, cell.centre, cell.radius(), network.Overview);
        if (node->Enabled() && !ended)
            drawNodeText(canvas, *node, cell.centre, run.captionOf(at, node, network.ShowAnswer, required));
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
    RequiredNodes required(network.NodeCount());
    std::vector<NodeRun> runs;
    SettledNodes settled;
    // The links are drawn while the runs of nodes are settled: the link pass reads nothing that
    // settling the nodes' texts changes.
    const auto links = [&](platform::Canvas& links) {
        // In a crowded network many links land on the same pixels.
        links.drawLeavingOutRepaintedLines([&](platform::Canvas& lines) {
            NodePlaces places;
            linkPass(network, grid, places, lines);
        });
    };
    canvas.drawLayers(
        links,
        [&] {
            runs = nodeRuns(network);
            std::vector<platform::Canvas::LayerDrawing> passes;
            for (const NodeRun& run : runs) {
                passes.emplace_back([&](platform::Canvas& nodes) {
                    nodePass(network, grid, nodes, required, run, settled, linksDrawn);
                });
            }
            return passes;
        },
        [&] {
            if (runs.size() > 1)
                settleNodeRuns(network, grid, canvas, required, runs, settled);
        });
}

} // namespace kelvane::drawing
