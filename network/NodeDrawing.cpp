#include "network/NodeDrawing.h"

#include "model/Node.h"
#include "model/basGlobal.h"
#include "platform/Canvas.h"
#include "platform/Conversions.h"

#include <QPoint>
#include <QVarLengthArray>
#include <cmath>

namespace kelvane::drawing {

namespace {

// The old constants, used as they stand.
constexpr double kArcPi = 3.141592;
constexpr double kPolygonPi = 3.141527;

void setNodeFill(platform::Canvas& canvas, const Node& node)
{
    const auto& settings = basGlobal::Settings;
    if (node.Enabled()) {
        canvas.setFillColor(node.Color != 0 ? node.Color : settings.NodeColour);
    } else {
        canvas.setDrawStyle(platform::drawstyle::Dot);
        canvas.setFillColor(settings.BackColour);
    }
}

// A filled circle whose lower right half is drawn over in `lowerColour`.
void bevelledCircle(platform::Canvas& canvas, QPointF centre, double radius, qint32 upperColour, qint32 lowerColour)
{
    canvas.Circle(centre.x(), centre.y(), radius, upperColour);
    canvas.Circle(centre.x(), centre.y(), radius, lowerColour, kArcPi + kArcPi / 4, kArcPi / 4);
}

void drawBevelledCircle(platform::Canvas& canvas, const Node& node, QPointF centre, double radius)
{
    const auto& settings = basGlobal::Settings;
    bevelledCircle(canvas, centre, radius, settings.ShadowColour, settings.HighlightColour);
    if (!node.Selected())
        return;
    canvas.setFillColor(settings.BackColour);
    bevelledCircle(canvas, centre, radius * 3 / 4, settings.HighlightColour, settings.ShadowColour);
    canvas.setFillColor(settings.NodeColour);
}

// An equilateral triangle of side a / 2 whose base lies a / 4 beyond the circle, above it
// (direction −1) or below it (+1); a is the radius rounded to a whole number.
void drawTriangleMark(platform::Canvas& canvas, QPointF centre, double radius, int direction, qint32 baseColour)
{
    const auto& settings = basGlobal::Settings;
    const double a = conv::toInt32(radius);
    const double baseY = centre.y() + direction * (a + a / 4);
    const double apexY = centre.y() + direction * (a + a / 4 + (a / 2) * std::sqrt(3.0 / 4.0));
    const auto corner = [](double x, double y) { return QPoint(conv::toInt32(x), conv::toInt32(y)); };
    const QPoint apex = corner(centre.x(), apexY);
    const QPoint left = corner(centre.x() - a / 4, baseY);
    const QPoint right = corner(centre.x() + a / 4, baseY);
    canvas.Line(apex.x(), apex.y(), left.x(), left.y(), settings.ShadowColour);
    canvas.Line(left.x(), left.y(), right.x(), right.y(), baseColour);
    canvas.Line(right.x(), right.y(), apex.x(), apex.y(), settings.HighlightColour);
}

void drawMarks(platform::Canvas& canvas, const Node& node, QPointF centre, double radius)
{
    const auto& settings = basGlobal::Settings;
    if (node.HigherLevelNodes.Count() > 0)
        drawTriangleMark(canvas, centre, radius, -1, settings.HighlightColour);
    if (node.External())
        drawTriangleMark(canvas, centre, radius, +1, settings.ShadowColour);
}

} // namespace

void drawNodeFigure(platform::Canvas& canvas, const Node& node, QPointF centre, double radius, bool overview)
{
    setNodeFill(canvas, node);
    if (overview)
        DrawPolygon(canvas, centre.x(), centre.y(), radius, 8, node.Selected());
    else
        drawBevelledCircle(canvas, node, centre, radius);
    drawMarks(canvas, node, centre, radius);
    canvas.setDrawStyle(platform::drawstyle::Solid);
}

void DrawPolygon(platform::Canvas& canvas, double x, double y, double radius, qint16 sides, bool selected)
{
    const auto& settings = basGlobal::Settings;
    const double step = 360.0 / sides;
    QVarLengthArray<QPoint, 16> corners;
    for (qint16 i = 1; i <= sides; ++i) {
        // The angle is kept in single precision, as the old routine kept it.
        const float angle = float(((i - 1) * step + step / 2) / 180.0 * kPolygonPi);
        corners.append(QPoint(conv::toInt32(std::cos(double(angle)) * radius + x),
                              conv::toInt32(std::sin(double(angle)) * radius + y)));
    }
    const qint16 quarter = sides / 4;
    for (qint16 j = 1; j <= sides; ++j) {
        const bool upperLeft = quarter < j && j <= sides - quarter;
        const qint32 colour = upperLeft != selected ? settings.ShadowColour : settings.HighlightColour;
        const QPoint& from = corners[j - 1];
        const QPoint& to = corners[j % sides];
        canvas.Line(from.x(), from.y(), to.x(), to.y(), colour);
    }
}

} // namespace kelvane::drawing
