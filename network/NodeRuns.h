#pragma once

#include "network/NetworkGrid.h"
#include "network/NodeText.h"
#include "platform/FontDescription.h"

#include <QtGlobal>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace platform {
class Canvas;
}

namespace kelvane {

class Layer;
class NetworkGrid;
class Node;
class NodePlaces;
class RequiredNodes;
class clsNetwork;

namespace drawing {

// The cell of the grid a shown node of the layer is drawn in.
GridCell cellOf(const NetworkGrid& grid, NodePlaces& places, const Layer& layer, const Node& node);

// A run of a network's shown nodes, drawn on a layer of its own side by side with the other
// runs: the places of its nodes in the drawing's order (from 0), and the font and colour the
// drawing properties have when it begins in a drawing in turn, those of the last name drawn
// before it (none when no name comes before it).
//
// Where there are several runs, the texts of their nodes are settled (settleNodeText) before any
// is drawn, on the calling thread, in the drawing's order, as far as the drawing goes: the runs
// drawn side by side then only read the network.
struct NodeRun {
    qsizetype first = 0;
    qsizetype end = 0;
    std::optional<std::pair<platform::FontDescription, qint32>> nameProperties;
    bool settledAhead = false;
    std::vector<std::pair<qsizetype, CaptionDecision>> captions; // by place: those shown or failed

    bool holds(qsizetype place) const { return first <= place && place < end; }
    // Sets the drawing properties the nodes before the run leave, as far as the run's drawing
    // depends on them or leaves them standing; `linksDrawn`: the link pass drew a link.
    void begin(platform::Canvas& canvas, bool linksDrawn) const;
    // The caption of the enabled node at that place, its text settled: ahead, or now.
    CaptionDecision captionOf(qsizetype place, const std::shared_ptr<Node>& node, bool networkShowsAnswers,
                              RequiredNodes& required) const;
};

// The runs of the network's shown nodes on the canvas: one, unless there are so many nodes that
// a picture of the whole surface for each of several runs is worth it. Several runs are settled
// ahead with `required`, and end with the node the drawing ends at, where one fails.
std::vector<NodeRun> nodeRuns(const clsNetwork& network, const NetworkGrid& grid, const platform::Canvas& canvas,
                              RequiredNodes& required);

} // namespace drawing
} // namespace kelvane
