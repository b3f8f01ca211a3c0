#pragma once

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

} // namespace drawing
} // namespace kelvane
