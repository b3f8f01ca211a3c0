#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>

namespace platform {
class Canvas;
}

namespace kelvane {

class clsNetwork;

namespace drawing {

// Paints a network onto a surface, over what the surface already shows: first every link
// (so all links lie beneath all nodes), then every node with its name and status caption.
// In the viewer (ApplicationMode not 0) disabled nodes and their links are left out;
// elsewhere they are drawn dotted. Reads the settings and the model as they stand; leaves
// the surface's drawing properties as the last node set them. A run-time error ends the
// drawing where it happens and passes to the caller; what was drawn stays.
void drawNetwork(clsNetwork& network, platform::Canvas& canvas);

// A node's place in the drawing's order: its layer and its place there, from 1.
struct NodeCursor {
    qint32 layer = 1;
    qsizetype node = 1;
};

// Measures on the canvas, in the drawing's order from `from`, the names drawNetwork measures
// whatever the surface's size (measureNodeName) until `enough` says so; gives the place to go
// on from, or nothing once every name has been measured. The network may change in between:
// places are looked up anew.
std::optional<NodeCursor> measureNamesAhead(clsNetwork& network, platform::Canvas& canvas, NodeCursor from,
                                            const std::function<bool()>& enough);

} // namespace drawing
} // namespace kelvane
