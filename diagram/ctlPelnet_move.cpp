// Node move mode: "Move" on the node menu puts a marker on the node and a line on each of
// its links; while the pointer moves, the marker and the lines go where the node would
// land; the next press puts it there.

#include "diagram/ctlPelnet.h"

#include "answercontrols/Circle.h"
#include "answercontrols/Twips.h"
#include "diagram/DiagramSupport.h"
#include "diagram/NetworkCanvas.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "network/BusyPointer.h"
#include "network/LinkDrawing.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <cmath>

namespace kelvane {

using namespace diagramsupport;

namespace {

double whole(double value) { return conv::toInt32(value); }

// The line of a link between two circles, its ends on whole units.
drawing::RimLine wholeRimLine(QPointF first, double firstRadius, QPointF second, double secondRadius, double dx, double dy)
{
    return drawing::rimLine(first, firstRadius, second, secondRadius, dx, dy, whole);
}

// The feedback line of a link from `holder` to `evidence` where both stand now.
drawing::RimLine linkLine(const NetworkGrid& grid, const Node& holder, const Node& evidence)
{
    const GridCell from = cellOf(grid, holder);
    const GridCell to = cellOf(grid, evidence);
    const double dx = double(layerOf(evidence)->Index - layerOf(holder)->Index) * grid.columnWidth();
    const double dy = whole(to.centre.y() - from.centre.y());
    return wholeRimLine(from.centre, std::floor(from.radius()), to.centre, std::floor(to.radius()), dx, dy);
}

void showLine(CanvasLine& line, const drawing::RimLine& ends)
{
    line.setEnds(ends.from, ends.to);
    line.setVisible(true);
}

// Calls `visit(holder)` for every node of the network with a link to `node`, once per link.
template <class Visit>
void forEachLinkInto(clsNetwork& network, const Node& node, Visit&& visit)
{
    forEachNode(network, [&](const std::shared_ptr<Node>& holder) {
        for (const auto& link : holder->Links().Snapshot()) {
            if (requireObject(requireObject(link)->ConnectionTo)->GUID == node.GUID)
                visit(*holder);
        }
    });
}

} // namespace

// Places the marker centred on a point, its height (kept square) as given, on whole pixels.
void ctlPelnet::placeMarker(QPointF centre, double height)
{
    twips::setHeight(*m_circle1, height);
    const double kept = twips::Height(*m_circle1);
    twips::setLeft(*m_circle1, centre.x() - kept / 2.0);
    twips::setTop(*m_circle1, centre.y() - kept / 2.0);
}

void ctlPelnet::mnuNodeMove_Click()
{
    if (!NodeFound)
        return;
    trappedVoid(kModule, "mnuNodeMove_Click", [&] {
        const BusyPointer busy;
        Change();
        cbMoveAnchored = true;
        m_movingNode = NodeFound;
        // Until the pointer chooses a place, the node's own place (the row it sits on).
        mintNewLayer = layerOf(*NodeFound)->Index;
        mintNewIndex = conv::toInt16(NodeFound->Index() - 1.0);
        mintOld = -1;
        mintOldX = -1;

        const auto shown = ActiveNetwork();
        const NetworkGrid grid = gridOf(*shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight());
        // One line per link: first those that lead to the node, then its own.
        qint16 element = 0;
        forEachLinkInto(*shown, *NodeFound, [&](const Node& holder) {
            showLine(m_linLinks.Load(++element), linkLine(grid, holder, *NodeFound));
        });
        for (const auto& link : NodeFound->Links().Snapshot())
            showLine(m_linLinks.Load(++element), linkLine(grid, *NodeFound, *requireObject(requireObject(link)->ConnectionTo)));

        const GridCell cell = cellOf(grid, *NodeFound);
        placeMarker(cell.centre, float(std::min(cell.columnWidth, cell.rowHeight) / 2.0));
        m_circle1->show();
        platform::ui().yield();
        DrawNetwork(false);
        UpdateButtons();
    });
}

bool ctlPelnet::moveFeedback(float X, float Y)
{
    if (!NodeFound)
        return true;
    const auto shown = ActiveNetwork();
    const auto& layers = shown->Layers();
    const double width = layers.Count() == 0 ? 0.0 : whole(m_picnetwork->ScaleWidth() / double(layers.Count()));
    // An empty layer counts as two rows, so a node dropped there lands in its middle.
    const auto rowHeight = [&](const Layer& layer) {
        const qsizetype rows = layer.Nodes().Count();
        return whole(m_picnetwork->ScaleHeight() / double(rows == 0 ? 2 : rows));
    };
    const auto centreOf = [&](const Node& node) {
        const auto layer = layerOf(node);
        const double height = rowHeight(*layer);
        return QPointF(whole(layer->Index * width - width / 2.0), whole(node.Index() * height - height / 2.0));
    };
    const auto radiusOf = [&](double height) { return std::floor(std::min(height, width) / 4.0); };

    // Nothing changes while the pointer stays in one cell.
    const auto ownLayer = layerOf(*NodeFound);
    const double ownHeight = rowHeight(*ownLayer);
    const double row = ownHeight == 0 ? -1.0 : std::floor((Y - ownHeight / 2.0) / ownHeight) + 1.0;
    const double column = width == 0 ? -1.0 : std::floor((X - width / 2.0) / width) + 1.0;
    if (row == mintOld && column == mintOldX)
        return false;

    // The node may only go below every node that links to it and above every node it links to.
    qint32 upper = qint32(layers.Count()) + 1;
    for (const auto& parent : NodeFound->Parents()) {
        if (const auto holder = parent.lock())
            upper = std::min<qint32>(upper, layerOf(*holder)->Index);
    }
    qint32 lower = 0;
    for (const auto& link : NodeFound->Links())
        lower = std::max<qint32>(lower, layerOf(*requireObject(requireObject(link)->ConnectionTo))->Index);
    if (width == 0)
        return false;
    const double targetIndex = std::floor(X / width) + 1.0;
    if (targetIndex == 0 || targetIndex >= upper || targetIndex <= lower)
        return false;

    // In its own layer the marker sits on a row; in another, between two rows.
    const auto target = requireObject(layers.Item(qsizetype(targetIndex)));
    const double height = rowHeight(*target);
    const bool empty = target->Nodes().Count() == 0;
    const bool own = target == ownLayer;
    const double x = whole(target->Index * width - width / 2.0);
    double y = height;
    if (!empty && own)
        y = whole((std::floor((Y - height / 4.0) / height) + 0.5) * height);
    else if (!empty)
        y = whole((std::floor((Y - height / 2.0) / height) + 1.0) * height);
    const QPointF marker(x, y);
    placeMarker(marker, float(std::min(height, width) / 2.0));

    // Own links first, then those that lead to the node.
    qint16 element = 0;
    const auto drawTo = [&](const Node& other) {
        const QPointF far = centreOf(other);
        CanvasLine& line = m_linLinks.Item(++element);
        const auto ends = wholeRimLine(marker, radiusOf(height), far, radiusOf(rowHeight(*layerOf(other))),
                                       far.x() - marker.x(), far.y() - marker.y());
        line.setEnds(ends.from, ends.to);
        line.ZOrder();
    };
    for (const auto& link : NodeFound->Links().Snapshot())
        drawTo(*requireObject(requireObject(link)->ConnectionTo));

    mintNewLayer = conv::toInt16(targetIndex);
    if (empty) {
        mintNewIndex = 1;
    } else if (own) {
        const double rowAbove = std::floor(y / height);
        mintNewIndex = conv::toInt16(rowAbove > NodeFound->Index() - 1 ? rowAbove + 1 : rowAbove);
    } else {
        mintNewIndex = conv::toInt16(std::floor((Y - height / 2.0) / height) + 1.0);
    }
    forEachLinkInto(*shown, *NodeFound, [&](const Node& holder) { drawTo(holder); });

    m_picnetwork->Refresh();
    mintOld = conv::toInt16(row);
    mintOldX = conv::toInt16(column);
    return true;
}

void ctlPelnet::endMove()
{
    cbMoveAnchored = false;
    m_movingNode.reset();
    m_circle1->hide();
    m_linLinks.UnloadAll();
}

// Puts the moving node at the place the feedback chose last and leaves move mode.
void ctlPelnet::completeMove()
{
    const auto shown = ActiveNetwork();
    const auto moving = requireObject(m_movingNode);
    const auto former = layerOf(*moving);
    // The place was chosen among the layers of the network shown: a node of another network
    // would land in a network that does not hold its links.
    const auto shownLayers = shown->Layers().Snapshot();
    if (std::find(shownLayers.begin(), shownLayers.end(), former) == shownLayers.end()) {
        endMove();
        NodeFound = nullptr;
        return;
    }
    m_linLinks.UnloadAll();
    const auto target = requireObject(shown->Layers().Item(mintNewLayer));
    const qint16 oldPosition = moving->Index();
    moving->Layer = target;
    moving->LayerIndex = target->Index;
    m_circle1->hide();
    // A node that changes layer takes a new number: its place is found by its number.
    if (former != target) {
        shown->cintCounter = conv::add16(shown->cintCounter, 1);
        moving->NodeNumber = shown->cintCounter;
    }

    auto& nodes = target->Nodes();
    if (nodes.isEmpty())
        nodes.Add(moving);
    else if (mintNewIndex >= 1)
        nodes.AddBefore((mintNewIndex > nodes.Count() ? mintNewIndex - 1 : mintNewIndex) + 1, moving);
    else
        nodes.AddBefore(1, moving);
    // The old entry has moved back one place when the new one went in front of it.
    const bool shifted = former == target && !(mintNewIndex >= 1 && mintNewIndex > oldPosition);
    former->Nodes().Remove(oldPosition + (shifted ? 1 : 0));

    cbMoveAnchored = false;
    m_movingNode.reset();
    Refresh();
    NodeFound = nullptr;
    sendEditToServer();
}

} // namespace kelvane
