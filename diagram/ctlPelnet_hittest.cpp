// Hit tests: what of the shown network lies under a point of the canvas, on the grid the drawing
// uses. The places of the nodes and links are laid out once (NetworkHitIndex) and looked up near
// the point; a network the layout cannot take whole is walked node by node.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "diagram/NetworkCanvas.h"
#include "diagram/NetworkHitIndex.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/basGlobal.h"
#include "network/LinkDrawing.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

// --- The hit tests' layout ------------------------------------------------------------------------

std::shared_ptr<const NetworkHitIndex> ctlPelnet::hitIndex(clsNetwork& shown)
{
    const double width = m_picnetwork->ScaleWidth();
    const double height = m_picnetwork->ScaleHeight();
    if (!m_hitIndex || !m_hitIndex->describes(shown, width, height))
        m_hitIndex = NetworkHitIndex::layOut(shown, width, height);
    return m_hitIndex;
}

void ctlPelnet::forgetHitLayout()
{
    m_hitIndex.reset();
}

// What `lookUp` finds in the layout; a layout that no longer holds is made again once. Nothing
// for a network only the walk can take.
template <class LookUp>
auto ctlPelnet::fromHitLayout(clsNetwork& shown, LookUp&& lookUp) -> decltype(lookUp(std::declval<const NetworkHitIndex&>()))
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto index = hitIndex(shown);
        if (!index->complete())
            return std::nullopt;
        if (auto found = lookUp(*index))
            return found;
        forgetHitLayout();
    }
    return std::nullopt;
}

// Calls `visit(node, cell)` for every node whose shapes may hold the point, in layer and node
// order: those near it, or every node where the network can only be walked.
template <class Visit>
void ctlPelnet::forEachNodeCellNear(clsNetwork& shown, float X, float Y, Visit&& visit)
{
    m_hitTestVisits = 0;
    if (const auto near = fromHitLayout(shown, [&](const NetworkHitIndex& index) { return index.nodesNear(X, Y); })) {
        for (const auto& [node, cell] : *near) {
            ++m_hitTestVisits;
            visit(node, cell);
        }
        return;
    }
    forEachNodeCell(shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight(),
                    [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
                        ++m_hitTestVisits;
                        visit(node, cell);
                    });
}

// Calls `measure(layer, link, line)` for every link between enabled nodes whose box holds the
// point, in layer, node and link order; `layer` changes with each layer of the walk.
template <class Measure>
void ctlPelnet::forEachLinkAt(clsNetwork& shown, float X, float Y, Measure&& measure)
{
    m_hitTestVisits = 0;
    if (const auto found = fromHitLayout(shown, [&](const NetworkHitIndex& index) { return index.linksAt(X, Y); })) {
        for (const auto& each : *found) {
            ++m_hitTestVisits;
            if (each.holder->Enabled() && each.evidence->Enabled())
                measure(each.layer, each.link, each.line);
        }
        return;
    }
    const NetworkGrid grid = gridOf(shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight());
    const Layer* layerMet = nullptr;
    qsizetype layerNumber = 0;
    forEachNodeCell(shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight(),
                    [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
                        ++m_hitTestVisits;
                        const auto layer = layerOf(*node);
                        if (layer.get() != layerMet) {
                            layerMet = layer.get();
                            ++layerNumber;
                        }
                        if (!node->Enabled())
                            return;
                        for (const auto& link : node->Links().Snapshot()) {
                            const auto& target = requireObject(requireObject(link)->ConnectionTo);
                            if (!target->Enabled())
                                continue;
                            const auto line =
                                linkHitLine(cell, layer->Index, cellOf(grid, *target), layerOf(*target)->Index);
                            if (linkBoxHolds(line, X, Y))
                                measure(layerNumber, link, line);
                        }
                    });
}

// --- The tests --------------------------------------------------------------------------------------

std::shared_ptr<Node> ctlPelnet::OverNode(float X, float Y)
{
    std::shared_ptr<Node> found;
    trappedVoid(kModule, "OverNode", [&] {
        // No early exit: of overlapping circles the last one wins.
        forEachNodeCellNear(*ActiveNetwork(), X, Y, [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
            const double dx = cell.centre.x() - X;
            const double dy = cell.centre.y() - Y;
            const double radius = cell.radius();
            if (dx * dx + dy * dy < radius * radius)
                found = node;
        });
    });
    return found;
}

std::shared_ptr<Node> ctlPelnet::nodeWithHandleAt(bool lower, float X, float Y)
{
    const Handle handle = lower ? Handle::Lower : Handle::Upper;
    std::shared_ptr<Node> found;
    forEachNodeCellNear(*ActiveNetwork(), X, Y, [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
        if (!hasHandle(*node, handle) || !handleHolds(cell, handle, X, Y))
            return;
        found = node;
        // Handles are drawn for layers laid out from left to right only.
        if (basGlobal::LayoutMode == 0) {
            drawHandleLit(m_picnetwork->canvas(), cell, handle);
            m_picnetwork->update();
        }
    });
    return found;
}

std::shared_ptr<Node> ctlPelnet::OverDown(float X, float Y)
{
    std::shared_ptr<Node> found;
    trappedVoid(kModule, "OverDown", [&] { found = nodeWithHandleAt(true, X, Y); });
    return found;
}

std::shared_ptr<Node> ctlPelnet::OverUp(float X, float Y)
{
    std::shared_ptr<Node> found;
    trappedVoid(kModule, "OverUp", [&] { found = nodeWithHandleAt(false, X, Y); });
    return found;
}

std::shared_ptr<Link> ctlPelnet::OverLink(float X, float Y)
{
    std::shared_ptr<Link> found;
    trappedVoid(kModule, "OverLink", [&] {
        const auto shown = ActiveNetwork();
        if (shown->Layers().Count() == 0)
            return;
        qsizetype layerMeasured = 0;
        double best = kLinkTolerance;
        forEachLinkAt(*shown, X, Y, [&](qsizetype layer, const std::shared_ptr<Link>& link, const drawing::RimLine& line) {
            // The best distance starts again with each layer, so a later layer's link wins over
            // an earlier one's whatever their distances.
            if (layer != layerMeasured) {
                layerMeasured = layer;
                best = kLinkTolerance;
            }
            const double distance = distanceToLine(line, X, Y);
            if (distance >= best)
                return;
            found = link;
            if (basGlobal::ApplicationMode != 1)
                markLink(line.from, line.to);
            best = distance;
            Selected.Clear();
            clearSelection(*shown);
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
