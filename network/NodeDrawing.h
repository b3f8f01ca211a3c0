#pragma once

#include <QPointF>
#include <QtGlobal>

namespace platform {
class Canvas;
}

namespace kelvane {

class Node;

namespace drawing {

// The figure of one node and its marks, drawn around `centre` with `radius`:
// - the fill (the node's colour, or the node colour setting when it has none) and, for a
//   disabled node, a dotted outline and the back colour as fill;
// - a bevelled circle (shadow colour, its lower right half in the highlight colour), with an
//   inner circle of three quarters of the radius, bevelled the other way and filled with the
//   back colour, while the node is selected; in the overview network an octagon instead;
// - a small triangle above the figure when higher-level nodes lead to the node, and one
//   below it when the node opens a lower-level network.
// Leaves DrawStyle solid.
void drawNodeFigure(platform::Canvas& canvas, const Node& node, QPointF centre, double radius, bool overview);

// The outline of a regular polygon with `sides` corners on the circle around (x, y): its
// upper left edges in the shadow colour and the others in the highlight colour (as the
// circle's bevel), the other way round when `selected`. Not filled.
void DrawPolygon(platform::Canvas& canvas, double x, double y, double radius, qint16 sides, bool selected);

} // namespace drawing
} // namespace kelvane
