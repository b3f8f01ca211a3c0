#pragma once

#include "answercontrols/LineSegment.h"
#include "answercontrols/SliderAxis.h"

#include <QPointF>
#include <QSizeF>
#include <array>

namespace kelvane {

// Where the lines of a slider stand for one size of the control: the groove with its
// shadowed and lit sides and caps, the eighteen tick marks, and the thumb's size and place.
// All lengths in twips; whole-number results are 16-bit and overflow as such (Overflow, 6).
class SliderLayout {
public:
    struct Groove {
        LineSegment linGroove;       // centre line; defines the track
        LineSegment linGrooveLeft;   // shadow side
        LineSegment linGrooveRight;  // lit side, 15 longer at the far end
        LineSegment linGrooveTop;    // shadow cap at the start of the track
        LineSegment linGrooveBottom; // lit cap at its end
    };
    struct ThumbEdges {
        LineSegment linSliderLeft;
        LineSegment linSliderTop;
        LineSegment linSliderRight;
        LineSegment linSliderBottom;
        LineSegment linSliderVeryRight;
        LineSegment linSliderveryBottom;
    };
    static constexpr int kTickCount = 18;
    using Ticks = std::array<LineSegment, kTickCount>; // linInterval(1) to linInterval(18)

    // Nothing placed yet (a control before its first resize).
    SliderLayout() = default;
    SliderLayout(const SliderAxis& axis, QSizeF control);

    bool isPlaced() const { return m_placed; }

    // The groove's centre line: its position across, and the track from start to end along
    // it (X1, Y1 and Y2 of the vertical slider).
    double grooveAcross() const { return m_grooveAcross; }
    double trackStart() const { return m_trackStart; }
    double trackEnd() const { return m_trackEnd; }
    qint16 grooveWidth() const { return m_groove.linGroove.width; }
    // The distance between two ticks, less 15.
    qint16 interval() const { return m_interval; }

    const Groove& groove() const { return m_groove; }
    const Ticks& ticks() const { return m_ticks; }

    // The thumb's size on whole pixels (never below zero).
    QSizeF thumbSize() const { return m_thumbSize; }
    // The thumb's top left corner for a value.
    QPointF thumbPlace(double value) const;

    // Whether a click at the point lies beside the groove, where it steps the value.
    bool isBesideGroove(QPointF point) const;

    // The bevel lines inside a thumb of the size.
    static ThumbEdges thumbEdges(const SliderAxis& axis, QSizeF thumb);

private:
    SliderAxis m_axis;
    bool m_placed = false;
    double m_grooveAcross = 0;
    double m_trackStart = 0;
    double m_trackEnd = 0;
    qint16 m_interval = 0;
    Groove m_groove;
    Ticks m_ticks;
    QSizeF m_thumbSize;
};

} // namespace kelvane
