#include "https/PlexantResources.h"

#include "https/PlexantTypeLibrary.h"
#include "platform/automation/DesignExtent.h"

#include <QPainter>

namespace kelvane::plexant {

namespace {

constexpr int kExtentPixels = 28;

// A padlock over a globe's meridians.
const char* const kPicture[] = {
    "16 15 4 1",        ". c #C0C0C0",      "d c #808080",      "k c #000000",      "y c #FFFF00",
    "................", "......kkkk......", ".....k....k.....", ".....k....k.....", "....kkkkkkkk....",
    "....kyyyyyyk....", "....kyykkyyk....", "....kyykkyyk....", "....kyyyyyyk....", "....kkkkkkkk....",
    "................", ".dddddddddddddd.", ".d.d.d.d.d.d.d.d", ".dddddddddddddd.", "................",
};

} // namespace

QImage toolboxImage(int resourceNumber) { return resourceNumber == kToolboxImage ? QImage(kPicture) : QImage(); }

QSize designExtentHimetric(int dotsPerInch)
{
    return platform::automation::designExtentHimetric(kExtentPixels, dotsPerInch);
}

void paintDesignTime(QPainter& painter, const QRect& bounds)
{
    // The sunken edge: dark on the top and left, light on the bottom and right.
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(bounds.topLeft(), bounds.topRight());
    painter.drawLine(bounds.topLeft(), bounds.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(bounds.bottomLeft(), bounds.bottomRight());
    painter.drawLine(bounds.topRight(), bounds.bottomRight());
    painter.setPen(Qt::black);
    painter.drawRect(bounds.adjusted(2, 2, -2, -2));
    painter.drawImage(bounds.topLeft() + QPoint(6, 7), toolboxImage(kToolboxImage));
}

} // namespace kelvane::plexant
