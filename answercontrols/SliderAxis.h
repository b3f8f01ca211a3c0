#pragma once

#include <QPointF>
#include <QSizeF>
#include <Qt>

namespace kelvane {

// What sets the vertical slider apart from its horizontal twin. Everything else is the same
// arithmetic "along" the groove (the value's direction: down, or to the right) and "across" it.
struct SliderAxis {
    bool vertical = true;
    double tickBandDivisor = 30;      // a tick is the groove's length over this
    double thumbLengthFactor = 0.6;   // the thumb's length along the groove, in intervals
    double thumbLeadFactor = 0.375;   // how far the thumb starts before the value's point, in intervals
    int lowerKey = Qt::Key_Up;        // steps the value down by an eighth
    int raiseKey = Qt::Key_Down;      // steps it up by an eighth
    bool changeEventAfterGlide = true; // a second ValueChange once the thumb has glided

    QPointF point(double along, double across) const
    {
        return vertical ? QPointF(across, along) : QPointF(along, across);
    }
    QSizeF size(double along, double across) const { return vertical ? QSizeF(across, along) : QSizeF(along, across); }
    double along(QPointF p) const { return vertical ? p.y() : p.x(); }
    double across(QPointF p) const { return vertical ? p.x() : p.y(); }
    double along(QSizeF s) const { return vertical ? s.height() : s.width(); }
    double across(QSizeF s) const { return vertical ? s.width() : s.height(); }
};

inline constexpr SliderAxis kVerticalSlider {true, 30, 0.6, 0.375, Qt::Key_Up, Qt::Key_Down, true};
inline constexpr SliderAxis kHorizontalSlider {false, 60, 0.3, 0.1875, Qt::Key_Left, Qt::Key_Right, false};

} // namespace kelvane
