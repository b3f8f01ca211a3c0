#include "answercontrols/SliderLayout.h"

#include "answercontrols/Twips.h"
#include "platform/Colours.h"
#include "platform/Conversions.h"

#include <algorithm>

namespace kelvane {

namespace colours = platform::colours;

namespace {
// A line between two points given as (along, across).
LineSegment line(const SliderAxis& axis, double along1, double across1, double along2, double across2, qint16 width,
                 qint32 colour)
{
    return {axis.point(along1, across1), axis.point(along2, across2), width, colour};
}
} // namespace

SliderLayout::SliderLayout(const SliderAxis& axis, QSizeF control)
    : m_axis(axis)
    , m_placed(true)
{
    const double across = axis.across(control);
    const double length = axis.along(control);

    // Groove: its width follows the control's breadth in steps of 750 twips.
    const double f = across / 750.0;
    m_grooveAcross = across / 2.0 - 15.0 * f;
    m_trackStart = length / 10.0;
    m_trackEnd = 0.9 * length;
    const qint16 w = conv::toInt16(2.0 * f);
    const qint16 edge = conv::toInt16(conv::floorWhole(f) + 1.0);
    const double shadow = m_grooveAcross - 15.0 * f;
    const double lit = m_grooveAcross + 15.0 * f;
    const double cap = (conv::floorWhole(f / 2.0) + 1.0) * 15.0;
    m_groove.linGroove = line(axis, m_trackStart, m_grooveAcross, m_trackEnd, m_grooveAcross, w, colours::ButtonDarkShadow);
    m_groove.linGrooveLeft = line(axis, m_trackStart, shadow, m_trackEnd, shadow, edge, colours::ButtonShadow);
    m_groove.linGrooveRight = line(axis, m_trackStart, lit, m_trackEnd + 15.0, lit, edge, colours::ButtonHighlight);
    m_groove.linGrooveTop =
        line(axis, m_trackStart - cap, shadow, m_trackStart - cap, lit, edge, colours::ButtonShadow);
    m_groove.linGrooveBottom = line(axis, m_trackEnd + cap, shadow, m_trackEnd + cap, lit, edge, colours::ButtonHighlight);

    // Ticks at the nine eighths, on both sides; those of 0, 0.5 and 1 a third longer outwards.
    m_interval = conv::toInt16((m_trackEnd - m_trackStart - 135.0) / 8.0);
    const double band = (m_trackEnd - m_trackStart) / axis.tickBandDivisor;
    const qint16 before = conv::toInt16(m_grooveAcross - 3.0 * band);
    const qint16 after = conv::toInt16(w + m_grooveAcross + 2.0 * band);
    double at = m_trackStart - 7.5;
    for (int i = 0; i < 9; ++i) {
        const double longer = (i % 4 == 0) ? band / 3.0 : 0.0;
        m_ticks[i] = line(axis, at, before - longer, at, before + band, 1, colours::ButtonDarkShadow);
        m_ticks[i + 9] = line(axis, at, after, at, after + band + longer, 1, colours::ButtonDarkShadow);
        at += m_interval + 15.0;
    }

    // Thumb: its breadth follows its length as the widget then holds it.
    const double thumbLength = twips::onPixels(std::max(axis.thumbLengthFactor * m_interval, 0.0));
    const double thumbBreadth = twips::onPixels(2.0 * thumbLength + 15.0);
    m_thumbSize = axis.size(thumbLength, thumbBreadth);
}

QPointF SliderLayout::thumbPlace(double value) const
{
    const double across = m_grooveAcross - m_axis.across(m_thumbSize) / 2.0;
    const double along =
        m_trackStart - m_axis.thumbLeadFactor * m_interval + (m_trackEnd - m_trackStart) * value + 15.0;
    return m_axis.point(along, across);
}

bool SliderLayout::isBesideGroove(QPointF point) const
{
    if (!m_placed)
        return false;
    const double along = m_axis.along(point);
    const double across = m_axis.across(point);
    const double band = (m_trackEnd - m_trackStart) / 30.0;
    return m_trackStart <= along && along <= m_trackEnd
        && conv::toInt16(m_grooveAcross - 2.0 * band) <= across
        && across <= conv::toInt16(grooveWidth() + m_grooveAcross + 2.0 * band);
}

SliderLayout::ThumbEdges SliderLayout::thumbEdges(const SliderAxis& axis, QSizeF thumb)
{
    // Drawn for the vertical thumb in (across, along); the horizontal one is the same turned.
    const double w = axis.across(thumb);
    const double h = axis.along(thumb);
    const double b = 15.0; // one pixel: every edge line is one pixel wide
    const auto edge = [&axis](double across1, double along1, double across2, double along2, qint32 colour) {
        return line(axis, along1, across1, along2, across2, 1, colour);
    };
    ThumbEdges edges;
    edges.linSliderLeft = edge(0, 0, 0, h - b, colours::ButtonHighlight);
    edges.linSliderTop = edge(0, 0, w, 0, colours::ButtonHighlight);
    edges.linSliderRight = edge(w - 2 * b, b, w - 2 * b, h - b, colours::ButtonShadow);
    edges.linSliderBottom = edge(b, h - 2 * b, w - b, h - 2 * b, colours::ButtonShadow);
    edges.linSliderVeryRight = edge(w - b, b, w - b, h, colours::WindowFrame);
    edges.linSliderveryBottom = edge(b, h - b, w, h - b, colours::WindowFrame);
    return edges;
}

} // namespace kelvane
