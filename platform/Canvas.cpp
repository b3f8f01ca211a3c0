#include "platform/Canvas.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr double kTwoPi = 6.283185307179586;
// Angles a caller computed with a rounded π may pass 2π by a hair.
constexpr double kAngleTolerance = kTwoPi * 1e-6;
// Positions must fit a 32-bit whole number of twips.
constexpr double kLargestCoordinate = 2147483647.0;

double checkedCoordinate(double value)
{
    if (!std::isfinite(value) || std::abs(value) > kLargestCoordinate)
        kelvane::raiseError(kelvane::err::Overflow);
    return value;
}

QPointF checkedPoint(double x, double y) { return {checkedCoordinate(x), checkedCoordinate(y)}; }

double checkedAngle(double angle)
{
    if (!std::isfinite(angle) || std::abs(angle) > kTwoPi + kAngleTolerance)
        kelvane::raiseError(kelvane::err::InvalidProcedureCall);
    return angle;
}

void checkRange(int value, int lowest, int highest)
{
    if (value < lowest || value > highest)
        kelvane::raiseError(kelvane::err::InvalidPropertyValue);
}
} // namespace

void Canvas::setFillStyle(qint16 style)
{
    checkRange(style, fillstyle::Solid, fillstyle::DiagonalCross);
    m_state.fillStyle = style;
}

void Canvas::setDrawStyle(qint16 style)
{
    checkRange(style, drawstyle::Solid, drawstyle::InsideSolid);
    m_state.drawStyle = style;
}

void Canvas::setDrawWidth(qint16 pixels)
{
    checkRange(pixels, 1, 32767);
    m_state.drawWidth = pixels;
}

void Canvas::Line(double x1, double y1, double x2, double y2, std::optional<qint32> colour)
{
    const QPointF from = checkedPoint(x1, y1);
    const QPointF to = checkedPoint(x2, y2);
    paintLine(from, to, colour.value_or(m_state.foreColor));
    m_current = to;
}

void Canvas::Circle(double x, double y, double radius, std::optional<qint32> colour,
                    std::optional<double> startAngle, std::optional<double> endAngle)
{
    CircleFigure figure;
    figure.centre = checkedPoint(x, y);
    figure.radius = std::abs(checkedCoordinate(radius));
    figure.colour = colour.value_or(m_state.foreColor);
    if (startAngle || endAngle) {
        const double start = checkedAngle(startAngle.value_or(0.0));
        const double end = checkedAngle(endAngle.value_or(kTwoPi));
        figure.arc = true;
        figure.startAngle = std::min(std::abs(start), kTwoPi);
        figure.endAngle = std::min(std::abs(end), kTwoPi);
        figure.radiusToStart = start < 0;
        figure.radiusToEnd = end < 0;
    }
    paintCircle(figure);
    m_current = figure.centre;
}

void Canvas::Print(const QString& text)
{
    const QPointF at = checkedPoint(m_current.x(), m_current.y());
    paintText(at, text);
    m_current = QPointF(0.0, at.y() + TextHeight(text));
}

double Canvas::TextWidth(const QString& text) const
{
    double widest = 0.0;
    for (const QString& line : linesOf(text))
        widest = std::max(widest, lineWidth(line));
    return widest;
}

double Canvas::TextHeight(const QString& text) const
{
    // As many lines as linesOf gives, counted without copying them: a break is a CR, an LF or
    // both together. Most texts hold neither, which the searches tell fastest.
    const QStringView whole(text);
    const qsizetype returns = whole.contains(u'\r') ? whole.count(u'\r') : 0;
    const qsizetype feeds = whole.contains(u'\n') ? whole.count(u'\n') : 0;
    const qsizetype pairs = returns > 0 && feeds > 0 ? whole.count(u"\r\n") : 0;
    return double(1 + returns + feeds - pairs) * lineHeight();
}

void Canvas::takeStateOf(const Canvas& other)
{
    m_state = other.m_state;
    m_current = other.m_current;
}

void Canvas::drawLayers(const LayerDrawing& first, const std::function<std::vector<LayerDrawing>()>& next,
                        const std::function<void()>& alongside)
{
    const std::vector<LayerDrawing> rest = next();
    if (alongside)
        alongside();
    first(*this);
    for (const auto& layer : rest)
        layer(*this);
}

void Canvas::drawLeavingOutRepaintedLines(const std::function<void(Canvas&)>& draw)
{
    draw(*this);
}

void Canvas::Cls()
{
    paintClear();
    m_current = QPointF();
}

QStringList Canvas::linesOf(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

} // namespace platform
