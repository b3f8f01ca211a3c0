#pragma once

#include <QPointF>
#include <QtGlobal>

namespace platform {
class Canvas;
}

namespace kelvane {

// One line of a control's drawing: its ends in twips, its width in pixels and its colour
// (0x00BBGGRR or a system colour).
struct LineSegment {
    QPointF from;
    QPointF to;
    qint16 width = 1;
    qint32 colour = 0;

    bool operator==(const LineSegment&) const = default;
};

// Draws the line on the canvas; a width below one pixel is drawn one pixel wide.
void drawLine(platform::Canvas& canvas, const LineSegment& line);

} // namespace kelvane
