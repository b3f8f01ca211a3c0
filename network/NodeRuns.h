#pragma once

#include "network/NetworkGrid.h"
#include "network/NodeText.h"
#include "platform/FontDescription.h"

#include <QtGlobal>
#include <atomic>
#include <deque>
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

// How far the texts of a drawing's nodes are settled, for runs drawn side by side while the
// calling thread settles them in the drawing's order: a run waits for each node's text before
// it draws the node. Settling stops at the end of the nodes, or at the node where the drawing
// fails.
class SettledNodes {
public:
    // The nodes before `end` (a place) are settled, and what their runs begin with.
    void settledTo(qsizetype end);
    // No node from `end` on is settled: the drawing ends there. `figureFails`: because the
    // figure of the node at `end` cannot be drawn (drawing it raises the error).
    void stop(qsizetype end, bool figureFails);

    // Waits until the node at that place is settled (true) or settling has stopped before it.
    bool waitFor(qsizetype place) const;
    // Once waitFor(place) is false: whether the drawing ends in that node's figure.
    bool figureFailsAt(qsizetype place) const;

private:
    // Twice the count of nodes settled, plus one once settling has stopped.
    std::atomic<qint64> m_progress {0};
    qsizetype m_figureFailsAt = -1; // written before the stop is made known
};

// A run of a network's shown nodes, drawn on a layer of its own side by side with the other
// runs: the places of its nodes in the drawing's order (from 0), and the font and colour the
// drawing properties have when it begins in a drawing in turn, those of the last name drawn
// before it (none when no name comes before it).
//
// Where there are several runs, the texts of their nodes are settled (settleNodeText) on the
// calling thread, in the drawing's order, as far as the drawing goes, while the runs are drawn:
// a run draws only the nodes whose texts are settled, and only reads the network.
struct NodeRun {
    qsizetype first = 0;
    qsizetype end = 0;
    std::optional<std::pair<platform::FontDescription, qint32>> nameProperties;
    bool settledAhead = false;
    // The captions shown or failed, by place from `first` (none where there is none), once settled.
    std::vector<const CaptionDecision*> captionAt;
    std::deque<CaptionDecision> captions; // where captionAt points: they stay where they are

    bool holds(qsizetype place) const { return first <= place && place < end; }
    // Sets the drawing properties the nodes before the run leave, as far as the run's drawing
    // depends on them or leaves them standing; `linksDrawn`: the link pass drew a link.
    void begin(platform::Canvas& canvas, bool linksDrawn) const;
    // The caption of the enabled node at that place, its text settled: ahead, or now.
    CaptionDecision captionOf(qsizetype place, const std::shared_ptr<Node>& node, bool networkShowsAnswers,
                              RequiredNodes& required) const;
};

// The runs of the network's shown nodes: one, unless there are so many nodes that a picture of
// the whole surface for each of several runs is worth it. Several runs are to be settled ahead
// (settleNodeRuns); they are the longer the sooner they can begin, so that they end together.
std::vector<NodeRun> nodeRuns(const clsNetwork& network);

// Settles the texts of several runs' nodes in the drawing's order, to the first node whose
// figure, caption or name fails, making each step known to `settled`. The runs after the one
// the drawing ends in draw nothing. Settling stops, whatever happens, before this returns.
void settleNodeRuns(const clsNetwork& network, const NetworkGrid& grid, const platform::Canvas& canvas,
                    RequiredNodes& required, std::vector<NodeRun>& runs, SettledNodes& settled);

} // namespace drawing
} // namespace kelvane
