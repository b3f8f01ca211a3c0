#pragma once

#include "platform/FontDescription.h"

#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

namespace platform {
class Canvas;
}

namespace kelvane {

class RequiredNodes;
class clsNetwork;

namespace drawing {

// A run of a network's shown nodes, drawn on a layer of its own side by side with the other
// runs: the places of its nodes in the drawing's order (from 0), and the font and colour the
// drawing properties have when it begins in a drawing in turn, those of the last name drawn
// before it (none when no name comes before it).
struct NodeRun {
    qsizetype first = 0;
    qsizetype end = 0;
    std::optional<std::pair<platform::FontDescription, qint32>> nameProperties;

    bool holds(qsizetype place) const { return first <= place && place < end; }
    // Sets the drawing properties the nodes before the run leave, as far as the run's drawing
    // depends on them or leaves them standing; `linksDrawn`: the link pass drew a link.
    void begin(platform::Canvas& canvas, bool linksDrawn) const;
};

// The runs of the network's shown nodes on the canvas: one, unless there are so many nodes that
// a picture of the whole surface for each of several runs is worth it. The names that end the
// runs are drawn, without painting, with `required`.
std::vector<NodeRun> nodeRuns(const clsNetwork& network, const platform::Canvas& canvas, RequiredNodes& required);

} // namespace drawing
} // namespace kelvane
