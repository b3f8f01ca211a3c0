#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// What the HTTPS control shows of itself where it is placed at design time (at run time it
// is invisible).
namespace kelvane::plexant {

// The toolbox picture, resource 101: 16 x 15 pixels. Null for any other number.
QImage toolboxImage(int resourceNumber);

// The control's extent when placed: 28 by 28 pixels, in HIMETRIC units for a screen of the
// given logical pixels per inch ((pixels x 2540 + dpi / 2) / dpi).
QSize designExtentHimetric(int dotsPerInch);

// The design-time look: a sunken edge, a black rectangle inside it and the toolbox picture
// at (6, 7).
void paintDesignTime(QPainter& painter, const QRect& bounds);

} // namespace kelvane::plexant
