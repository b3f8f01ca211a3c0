#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// What the FTP control shows of itself where it is placed at design time (at run time it is
// invisible), and its toolbox picture.
namespace kelvane::ftp {

// The toolbox picture: 16 x 15 pixels.
inline constexpr int kToolboxImage = 1;
// The design-time picture: 28 x 28 pixels, the control's size when placed.
inline constexpr int kDesignTimeImage = 21;

// The bitmap resource of that number; null for any other number.
QImage bitmapResource(int resourceNumber);

// The control's extent when placed: 28 by 28 pixels, in HIMETRIC units for a screen of the
// given logical pixels per inch ((pixels x 2540 + dpi / 2) / dpi).
QSize designExtentHimetric(int dotsPerInch);

// The design-time look: the design-time picture drawn into the control's bounds.
void paintDesignTime(QPainter& painter, const QRect& bounds);

} // namespace kelvane::ftp
