// Hit tests: what of the shown network lies under a point of the canvas. Nothing stores node
// positions; every test lays the grid out again from the canvas size, as the drawing does.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "diagram/NetworkCanvas.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/basGlobal.h"
#include "network/LinkDrawing.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

using namespace diagramsupport;

namespace {

// The two handles of a node: the lower one below a node that opens a lower-level network,
// the upper one above a node that higher-level nodes stand for.
enum class Handle { Lower, Upper };

bool hasHandle(const Node& node, Handle handle)
{
    return handle == Handle::Lower ? node.External() : node.HigherLevelNodes.Count() > 0;
}

// The handle's box: a square of side W, centred across the node, starting 1.25 quarter-steps
// from its centre; all four bounds are open.
bool handleHolds(const GridCell& cell, Handle handle, float X, float Y)
{
    const double quarter = double(std::min(cell.columnWidth, cell.rowHeight)) / 4.0;
    const double side = (std::sqrt(3.0 / 4.0) * 0.5) * quarter;
    const double direction = handle == Handle::Lower ? 1.0 : -1.0;
    const double x1 = conv::toInt32(cell.centre.x() - side / 2.0);
    const double x2 = conv::toInt32(cell.centre.x() + side / 2.0);
    const double near = conv::toInt32(cell.centre.y() + direction * 1.25 * quarter);
    const double far = conv::toInt32(cell.centre.y() + direction * (1.25 * quarter + side));
    return x1 < X && X < x2 && std::min(near, far) < Y && Y < std::max(near, far);
}

// The handle drawn lit: a triangle of side s/2 pointing away from the node, lit on its
// upper left and shaded on its lower right.
void drawHandleLit(platform::Canvas& canvas, const GridCell& cell, Handle handle)
{
    const auto& settings = basGlobal::Settings;
    const double s = conv::toInt32(double(std::min(cell.columnWidth, cell.rowHeight)) / 4.0);
    const double direction = handle == Handle::Lower ? 1.0 : -1.0;
    const double cx = cell.centre.x();
    const double cy = cell.centre.y();
    const QPointF apex(conv::toInt32(cx), conv::toInt32(cy + direction * (s + s / 4.0 + (s / 2.0) * std::sqrt(3.0 / 4.0))));
    const double baseY = conv::toInt32(cy + direction * (s + s / 4.0));
    const QPointF left(conv::toInt32(cx - s / 4.0), baseY);
    const QPointF right(conv::toInt32(cx + s / 4.0), baseY);
    canvas.Line(apex.x(), apex.y(), left.x(), left.y(), settings.HighlightColour);
    canvas.Line(left.x(), left.y(), right.x(), right.y(),
                handle == Handle::Lower ? settings.HighlightColour : settings.ShadowColour);
    canvas.Line(right.x(), right.y(), apex.x(), apex.y(), settings.ShadowColour);
}

// The distance the link tests measure from the point to a link's line: vertical, after
// both sides are rounded down; for a vertical line (its ends less than a unit apart
// across, as between two nodes of one layer), horizontal.
double distanceToLine(const drawing::RimLine& line, float X, float Y)
{
    const double x1 = line.from.x();
    const double y1 = line.from.y();
    const double x2 = line.to.x();
    const double y2 = line.to.y();
    if (std::abs(x2 - x1) < 1.0)
        return std::abs(std::floor(X) - std::floor(x1));
    const float slope = float((y2 - y1) / (x2 - x1));
    const float intercept = float(y1 - x1 * slope);
    return std::abs(std::floor(Y) - std::floor(X * slope + intercept));
}

constexpr double kLinkBoxMargin = 30.0;
constexpr double kLinkTolerance = 50.0;
constexpr double kMarkOffset = 15.0; // one pixel

} // namespace

qint32 ctlPelnet::HorizontalStep()
{
    return trapped(kModule, "HorizontalStep", qint32(0), [&] {
        const auto shown = ActiveNetwork();
        if (shown->Layers().Count() == 0)
            return qint32(0);
        return gridOf(*shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight()).columnWidth();
    });
}

std::shared_ptr<Node> ctlPelnet::OverNode(float X, float Y)
{
    std::shared_ptr<Node> found;
    trappedVoid(kModule, "OverNode", [&] {
        // No early exit: of overlapping circles the last one wins.
        forEachNodeCell(*ActiveNetwork(), m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight(),
                        [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
                            const double dx = cell.centre.x() - X;
                            const double dy = cell.centre.y() - Y;
                            const double radius = cell.radius();
                            if (dx * dx + dy * dy < radius * radius)
                                found = node;
                        });
    });
    return found;
}

namespace {

std::shared_ptr<Node> nodeWithHandleAt(clsNetwork& shown, NetworkCanvas& canvas, Handle handle, float X, float Y)
{
    std::shared_ptr<Node> found;
    forEachNodeCell(shown, canvas.ScaleWidth(), canvas.ScaleHeight(),
                    [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
                        if (!hasHandle(*node, handle) || !handleHolds(cell, handle, X, Y))
                            return;
                        found = node;
                        // Handles are drawn for layers laid out from left to right only.
                        if (basGlobal::LayoutMode == 0) {
                            drawHandleLit(canvas.canvas(), cell, handle);
                            canvas.update();
                        }
                    });
    return found;
}

} // namespace

std::shared_ptr<Node> ctlPelnet::OverDown(float X, float Y)
{
    std::shared_ptr<Node> found;
    trappedVoid(kModule, "OverDown",
                [&] { found = nodeWithHandleAt(*ActiveNetwork(), *m_picnetwork, Handle::Lower, X, Y); });
    return found;
}

std::shared_ptr<Node> ctlPelnet::OverUp(float X, float Y)
{
    std::shared_ptr<Node> found;
    trappedVoid(kModule, "OverUp",
                [&] { found = nodeWithHandleAt(*ActiveNetwork(), *m_picnetwork, Handle::Upper, X, Y); });
    return found;
}

std::shared_ptr<Link> ctlPelnet::OverLink(float X, float Y)
{
    std::shared_ptr<Link> found;
    trappedVoid(kModule, "OverLink", [&] {
        const auto shown = ActiveNetwork();
        if (shown->Layers().Count() == 0)
            return;
        const NetworkGrid grid = gridOf(*shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight());
        const qint32 columnWidth = grid.columnWidth();
        const Layer* layerMeasured = nullptr;
        double best = kLinkTolerance;
        forEachNodeCell(*shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight(),
                        [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
                            const auto layer = layerOf(*node);
                            // The best distance starts again with each layer, so a later layer's
                            // link wins over an earlier one's whatever their distances.
                            if (layer.get() != layerMeasured) {
                                layerMeasured = layer.get();
                                best = kLinkTolerance;
                            }
                            if (!node->Enabled())
                                return;
                            for (const auto& link : node->Links().Snapshot()) {
                                const auto& target = requireObject(requireObject(link)->ConnectionTo);
                                if (!target->Enabled())
                                    continue;
                                const GridCell targetCell = cellOf(grid, *target);
                                const double dx = double(layerOf(*target)->Index - layer->Index) * columnWidth;
                                const double dy = conv::toInt32(targetCell.centre.y() - cell.centre.y());
                                const auto line = drawing::rimLine(
                                    cell.centre, std::floor(cell.radius()), targetCell.centre,
                                    std::floor(targetCell.radius()), dx, dy, [](double value) { return double(float(value)); });
                                const double left = std::min(line.from.x(), line.to.x()) - kLinkBoxMargin;
                                const double right = std::max(line.from.x(), line.to.x()) + kLinkBoxMargin;
                                const double top = std::min(line.from.y(), line.to.y()) - kLinkBoxMargin;
                                const double bottom = std::max(line.from.y(), line.to.y()) + kLinkBoxMargin;
                                if (X < left || X > right || Y < top || Y > bottom)
                                    continue;
                                const double distance = distanceToLine(line, X, Y);
                                if (distance >= best)
                                    continue;
                                found = link;
                                if (basGlobal::ApplicationMode != 1)
                                    markLink(line.from, line.to);
                                best = distance;
                                Selected.Clear();
                                clearSelection(*shown);
                            }
                        });
    });
    return found;
}

// The network redrawn with the link marked by a shaded line along it and a lit one a pixel above.
void ctlPelnet::markLink(QPointF from, QPointF to)
{
    DrawNetwork(false);
    const auto& settings = basGlobal::Settings;
    auto& canvas = m_picnetwork->canvas();
    const double y1 = std::floor(from.y());
    const double y2 = std::floor(to.y());
    canvas.Line(from.x(), y1, to.x(), y2, settings.ShadowColour);
    canvas.Line(from.x(), y1 - kMarkOffset, to.x(), y2 - kMarkOffset, settings.HighlightColour);
    m_picnetwork->update();
}

} // namespace kelvane
