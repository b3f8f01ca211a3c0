#pragma once

#include <QPoint>
#include <QPointF>
#include <QtGlobal>
#include <cmath>

namespace platform {
class Canvas;
}

namespace kelvane {

class Link;
class NetworkGrid;
class NodePlaces;
class Node;

namespace drawing {

// A node's place on the grid as the link geometry takes it.
struct GridPlace {
    qint32 layerIndex = 0;
    qint32 nodeIndex = 0;
    qint32 rowHeight = 0;
};

// Where a link's band runs: from the rim of its holder's circle that faces the evidence
// node to the rim of the evidence node's circle that faces the holder.
struct LinkEnds {
    QPoint from;
    QPoint to;

    bool operator==(const LinkEnds&) const = default;
};

LinkEnds linkEnds(qint32 columnWidth, const GridPlace& holder, const GridPlace& evidence);

// A line between two circles, along the direction (`dx`, `dy`) from the first centre to the
// second as the caller measures it: from the rims facing away from each other, or, when
// that puts the first end right of the second, from the facing rims. `settle` turns each
// coordinate into the value kept (rounded, or made single precision) before the ends are
// compared. A direction straight up or down ends the line at the second centre.
struct RimLine {
    QPointF from;
    QPointF to;
};

template <class Settle>
RimLine rimLine(QPointF first, double firstRadius, QPointF second, double secondRadius, double dx, double dy,
                Settle&& settle)
{
    constexpr double kRightAngle = 1.570796;
    const auto sign = [](double value) { return value > 0 ? 1.0 : (value < 0 ? -1.0 : 0.0); };
    const double a1 = dx != 0 ? std::atan(dy / dx) : sign(dy) * kRightAngle;
    const double a2 = dy != 0 ? std::atan(dx / dy) : sign(dx) * kRightAngle;
    const auto ends = [&](double facing) {
        return RimLine {QPointF(settle(first.x() + facing * firstRadius * std::cos(a1)),
                                settle(first.y() + facing * firstRadius * std::sin(a1))),
                        QPointF(settle(second.x() - facing * secondRadius * std::sin(a2) * sign(a2)),
                                settle(second.y() - facing * secondRadius * std::cos(a2) * sign(a2)))};
    };
    const RimLine away = ends(1.0);
    return away.from.x() > away.to.x() ? ends(-1.0) : away;
}

// The strokes on each side of a band: 2 for a degree of truth strictly between 0.4 and
// 0.6, else one more than ten times its distance from 0.5, rounded down. Overflow (6) for
// a value that is not finite or gives more than 32,767.
qint16 bandStrokes(double dot);

// The band's colour: the positive colour from 0.6 up, the negative one to 0.4, else the neutral one.
qint32 bandColour(double dot);

// Paints a band of 2 × `strokes` one-pixel lines, vertically offset from −15 × strokes to
// +15 × (strokes − 1) around the link: the outermost two are its edges (shadow colour on
// top, highlight colour below; the other way round when `bothSelected`), the others are in
// `colour`. One stroke gives the bare pair of edges, the groove of a link without an answer.
void paintBand(platform::Canvas& canvas, const LinkEnds& ends, qint16 strokes, qint32 colour, bool bothSelected);

// Draws one link of `holder` (placed at `place`): a groove while its evidence node has no
// usable answer (or outside the viewer), else a band whose thickness and colour show the
// link's degree of truth. The evidence node's place comes from `places`. ObjectNotSet (91)
// for a link without evidence node or an evidence node without layer.
void drawLink(platform::Canvas& canvas, const NetworkGrid& grid, NodePlaces& places, const Node& holder,
              const GridPlace& place, const Link& link);

} // namespace drawing
} // namespace kelvane
