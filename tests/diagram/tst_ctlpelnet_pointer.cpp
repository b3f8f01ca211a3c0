// The pointer on the diagram: hit tests, selection, the viewing-mode events and Click,
// links drawn by dragging, the rubber band, and a clean start after a failed gesture.
#include "PointerTestSupport.h"

#include "diagram/DiagramSupport.h"
#include "model/Link.h"
#include "network/LinkDrawing.h"
#include "platform/Conversions.h"
#include "tests/support/ShownText.h"

#include <QRandomGenerator>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Layer 1 holds A over B, layer 2 holds C, which links to A. On the 6000 x 4500 canvas the
// columns are 3000 wide: A is centred at (1500, 1125), B at (1500, 3375), C at (4500, 2250).
class Pointer : public PointerTest {
protected:
    Pointer()
    {
        build.links("C>A");
        useNetworks({build.network});
        QObject::connect(control.get(), &ctlPelnet::Click, [this](const std::shared_ptr<Node>& node) {
            events->events << QStringLiteral("Click");
            clicked.push_back(node);
        });
    }

    QPointF onLink() { return (centreOf(build["A"]) + centreOf(build["C"])) / 2.0; }
    std::shared_ptr<Link> link() { return build["C"]->Links().Item(1); }
    // The events raised, without the hover events of the moves.
    QStringList clicks() const { return events->events.filter(QStringLiteral("Click")); }
    std::vector<std::shared_ptr<Node>> selection() const
    {
        return {control->Selected.begin(), control->Selected.end()};
    }

    NetworkBuilder build {{"A B", "C"}};
    std::vector<std::shared_ptr<Node>> clicked;
};

} // namespace

// --- Hit tests -----------------------------------------------------------------------------------

TEST_F(Pointer, HitTestsFindNodesInsideTheirCirclesAndLinksNearTheirLines)
{
    EXPECT_EQ(control->HorizontalStep(), 3000);
    EXPECT_EQ(control->OverNode(1500, 1125), build["A"]);
    EXPECT_EQ(control->OverNode(1500 + 562, 1125), build["A"]);
    EXPECT_EQ(control->OverNode(1500 + 562.5f, 1125), nullptr); // on the circle is outside
    EXPECT_EQ(control->OverLink(300, 4400), nullptr);

    build["B"]->setSelected(true);
    control->Selected.Add(build["B"]);
    EXPECT_EQ(control->OverLink(float(onLink().x()), float(onLink().y()) + 20), link());
    EXPECT_TRUE(control->Selected.isEmpty());
    EXPECT_FALSE(build["B"]->Selected());

    ctlPelnet empty;
    EXPECT_EQ(empty.HorizontalStep(), 0);
    EXPECT_EQ(empty.OverNode(10, 10), nullptr);
    EXPECT_EQ(empty.OverLink(10, 10), nullptr);
}

TEST_F(Pointer, HandlesLieAboveAndBelowNestedNodes)
{
    NetworkBuilder lower({"D"});
    openLowerLevel(build["B"], build.network, lower.network, lower["D"]);
    build["A"]->HigherLevelNodes.Add(lower["D"]);
    // B's lower handle spans y 4078 to 4322 below its centre; A's upper one 178 to 422 above.
    EXPECT_EQ(control->OverDown(1500, 4200), build["B"]);
    EXPECT_EQ(control->OverDown(1500, 4078), nullptr); // the edge is outside
    EXPECT_EQ(control->OverUp(1500, 4200), nullptr);
    EXPECT_EQ(control->OverUp(1500, 300), build["A"]);
    EXPECT_EQ(control->OverDown(1500, 300), nullptr);
}

TEST_F(Pointer, VerticalLinkIsMeasuredByItsHorizontalDistance)
{
    NetworkBuilder column({"A B"});
    column.links("A>B");
    useNetworks({column.network});
    EXPECT_EQ(control->OverLink(3020, 2250), column["A"]->Links().Item(1));
    EXPECT_EQ(control->OverLink(3100, 2250), nullptr);
    EXPECT_TRUE(reportedErrors().isEmpty());
}

namespace {

// What each hit test finds at a point, by the grid walk itself: every node of the network in
// layer and node order, the row of each its Index().
struct WalkedHits {
    std::shared_ptr<Node> node;
    std::shared_ptr<Node> down;
    std::shared_ptr<Node> up;
    std::shared_ptr<Link> link;
};

bool inHandle(const GridCell& cell, double direction, float X, float Y)
{
    const double quarter = double(std::min(cell.columnWidth, cell.rowHeight)) / 4.0;
    const double side = (std::sqrt(3.0 / 4.0) * 0.5) * quarter;
    const double x1 = conv::toInt32(cell.centre.x() - side / 2.0);
    const double x2 = conv::toInt32(cell.centre.x() + side / 2.0);
    const double near = conv::toInt32(cell.centre.y() + direction * 1.25 * quarter);
    const double far = conv::toInt32(cell.centre.y() + direction * (1.25 * quarter + side));
    return x1 < X && X < x2 && std::min(near, far) < Y && Y < std::max(near, far);
}

WalkedHits walkedHits(clsNetwork& shown, double width, double height, float X, float Y)
{
    WalkedHits hits;
    const NetworkGrid grid(width, height, shown.Layers().Count());
    const Layer* layerMet = nullptr;
    double best = 50;
    diagramsupport::forEachNodeCell(shown, width, height, [&](const std::shared_ptr<Node>& node, const GridCell& cell) {
        const double dx = cell.centre.x() - X;
        const double dy = cell.centre.y() - Y;
        if (dx * dx + dy * dy < cell.radius() * cell.radius())
            hits.node = node;
        if (node->External() && inHandle(cell, 1.0, X, Y))
            hits.down = node;
        if (node->HigherLevelNodes.Count() > 0 && inHandle(cell, -1.0, X, Y))
            hits.up = node;
        const auto layer = node->Layer.lock();
        if (layer.get() != layerMet) {
            layerMet = layer.get();
            best = 50;
        }
        if (!node->Enabled())
            return;
        for (const auto& link : node->Links()) {
            const auto& target = link->ConnectionTo;
            if (!target->Enabled())
                continue;
            const auto targetLayer = target->Layer.lock();
            const GridCell targetCell = grid.cell(targetLayer->Index, targetLayer->Nodes().Count(), target->Index());
            const auto line = drawing::rimLine(cell.centre, std::floor(cell.radius()), targetCell.centre,
                                               std::floor(targetCell.radius()),
                                               double(targetLayer->Index - layer->Index) * grid.columnWidth(),
                                               conv::toInt32(targetCell.centre.y() - cell.centre.y()),
                                               [](double value) { return double(float(value)); });
            const double x1 = line.from.x(), y1 = line.from.y(), x2 = line.to.x(), y2 = line.to.y();
            if (X < std::min(x1, x2) - 30 || X > std::max(x1, x2) + 30 || Y < std::min(y1, y2) - 30
                || Y > std::max(y1, y2) + 30)
                continue;
            double distance = std::abs(std::floor(X) - std::floor(x1));
            if (std::abs(x2 - x1) >= 1.0) {
                const float slope = float((y2 - y1) / (x2 - x1));
                const float intercept = float(y1 - x1 * slope);
                distance = std::abs(std::floor(Y) - std::floor(X * slope + intercept));
            }
            if (distance < best) {
                hits.link = link;
                best = distance;
            }
        }
    });
    return hits;
}

// A network of random layers, links within, across and against the layers, disabled nodes,
// handles, and nodes that share a number with an earlier one of their layer.
std::shared_ptr<clsNetwork> randomNetwork(QRandomGenerator& random, int layers, int mostNodes)
{
    NetworkBuilder build;
    std::vector<std::shared_ptr<Node>> nodes;
    for (int layer = 1; layer <= layers; ++layer) {
        const int count = 1 + int(random.bounded(mostNodes));
        for (int i = 0; i < count; ++i)
            nodes.push_back(build.node(qint16(layer)));
    }
    for (const auto& node : nodes) {
        for (quint32 link = random.bounded(4); link > 0; --link) {
            const auto& target = nodes[random.bounded(quint32(nodes.size()))];
            auto added = std::make_shared<Link>();
            added->ConnectionTo = target;
            added->ConnectionFrom = node;
            if (target != node)
                node->Links().Add(std::move(added));
        }
        node->setEnabled(random.bounded(8) != 0);
        node->setExternal(random.bounded(5) == 0);
        if (random.bounded(5) == 0)
            node->HigherLevelNodes.Add(nodes.front());
        const auto& held = node->Layer.lock()->Nodes();
        if (random.bounded(30) == 0)
            node->NodeNumber = held.Item(1 + random.bounded(quint32(held.Count())))->NodeNumber;
    }
    return build.network;
}

} // namespace

TEST_F(PointerTest, HitTestsFindWhatTheGridWalkFindsAtEveryPoint)
{
    basGlobal::ApplicationMode = 1;
    QRandomGenerator random(37);
    const double width = control->picnetwork()->ScaleWidth();
    const double height = control->picnetwork()->ScaleHeight();
    for (int round = 0; round < 6; ++round) {
        const auto network = randomNetwork(random, 1 + int(random.bounded(6)), round % 3 == 0 ? 200 : 25);
        if (round % 4 == 1) // two layers in one column
            network->Layers().Item(network->Layers().Count())->Index = 1;
        useNetworks({network});
        std::vector<std::shared_ptr<Node>> nodes;
        diagramsupport::forEachNode(*network, [&](const std::shared_ptr<Node>& node) { nodes.push_back(node); });
        for (int point = 0; point < 300; ++point) {
            // Anywhere, or about a node: on its circle or on one of its handles.
            float X = float(random.bounded(width + 200.0) - 100.0);
            float Y = float(random.bounded(height + 200.0) - 100.0);
            if (point % 3 != 0) {
                const auto& node = nodes[random.bounded(quint32(nodes.size()))];
                const auto layer = node->Layer.lock();
                const qint32 columns = qint32(network->Layers().Count());
                const double quarter =
                    std::min(std::round(width / columns), std::round(height / double(layer->Nodes().Count()))) / 4;
                const double along = point % 3 == 1 ? 0 : (random.bounded(2) ? 1.5 : -1.5) * quarter;
                X = float(centreOf(node).x() + (random.generateDouble() - 0.5) * quarter);
                Y = float(centreOf(node).y() + along + (random.generateDouble() - 0.5) * quarter);
            }
            if (point == 100) { // marks changed without a word to the display
                const auto& last = network->Layers().Item(network->Layers().Count())->Nodes();
                for (const auto& node : last) {
                    node->setEnabled(!node->Enabled());
                    node->setExternal(!node->External());
                }
            }
            if (point == 200) { // edits of the network
                network->AddNode(1);
                const auto& first = network->Layers().Item(1)->Nodes();
                network->AddLink(first.Item(first.Count()), first.Item(1));
                network->MoveNodeDown(network->Layers().Item(network->Layers().Count())->Nodes().Item(1));
            }
            const WalkedHits walked = walkedHits(*network, width, height, X, Y);
            ASSERT_EQ(control->OverNode(X, Y), walked.node) << round << " " << X << " " << Y;
            ASSERT_EQ(control->OverDown(X, Y), walked.down) << round << " " << X << " " << Y;
            ASSERT_EQ(control->OverUp(X, Y), walked.up) << round << " " << X << " " << Y;
            ASSERT_EQ(control->OverLink(X, Y), walked.link) << round << " " << X << " " << Y;
        }
    }
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(PointerTest, HitTestsOnALargeNetworkLookOnlyAtWhatLiesNearThePoint)
{
    // 20,000 nodes in four layers, each node linked to two of the layer below.
    NetworkBuilder build;
    for (qint16 layer = 1; layer <= 4; ++layer) {
        for (int i = 0; i < 5000; ++i) {
            const auto node = build.node(layer);
            if (layer > 1) {
                const auto& below = build.network->Layers().Item(layer - 1)->Nodes();
                for (int k = 0; k < 2; ++k)
                    build.network->AddLink(node, below.Item((i + 7 * k) % 5000 + 1));
            }
        }
    }
    useNetworks({build.network});
    basGlobal::ApplicationMode = 1;
    const auto node = build.network->Layers().Item(3)->Nodes().Item(2500);
    EXPECT_EQ(control->OverNode(float(centreOf(node).x()), float(centreOf(node).y())), node);
    EXPECT_LE(control->HitTestVisits(), 10);
    move(QPointF(2250, 2250)); // between layers 2 and 3: a mouse move looks for a node, then a link
    EXPECT_NE(control->LinkFound, nullptr);
    EXPECT_LE(control->HitTestVisits(), 300);
    EXPECT_EQ(control->OverDown(2250, 2250), nullptr);
    EXPECT_LE(control->HitTestVisits(), 10);
}

// --- Viewing mode --------------------------------------------------------------------------------

TEST_F(Pointer, ViewingClickRaisesTheMouseEventsThenClickWithTheNode)
{
    basGlobal::ApplicationMode = 1;
    build["B"]->setSelected(true);
    click(build["A"]);
    EXPECT_EQ(clicks(), QStringList({"NetworkMouseClick 1", "NodeMouseClick 1", "Click"}));
    EXPECT_EQ(clicked, std::vector<std::shared_ptr<Node>>({build["A"]}));
    EXPECT_TRUE(build["A"]->Selected());
    EXPECT_FALSE(build["B"]->Selected());

    // The right button raises no Click and opens no menu; a disabled node is clicked too.
    events->events.clear();
    click(build["B"], Qt::RightButton);
    EXPECT_EQ(clicks(), QStringList({"NetworkMouseClick 2", "NodeMouseClick 2"}));
    build["C"]->setEnabled(false);
    click(build["C"]);
    EXPECT_EQ(clicked.back(), build["C"]);

    // A handler that changes the button it is handed turns the left click into another.
    events->onNodeMouseClick = [](qint16& button, std::shared_ptr<Node>&) { button = 2; };
    click(build["A"]);
    EXPECT_EQ(clicked.size(), 2u);
    EXPECT_TRUE(control->Selected.isEmpty());
    EXPECT_EQ(snapshots(), 0);
}

TEST_F(Pointer, ViewingMovesShowTooltipsAndRaiseHoverEvents)
{
    basGlobal::ApplicationMode = 1;
    build.network->TooltipText = QStringLiteral("the network");
    build["A"]->TooltipText = QStringLiteral("about A");
    link()->TooltipText = QStringLiteral("because");
    move(centreOf(build["A"]));
    EXPECT_EQ(control->picnetwork()->ToolTipText(), QStringLiteral("about A"));
    EXPECT_EQ(events->events.mid(events->events.size() - 2, 1).first().section(' ', 0, 0), "NetworkMouseMove");
    EXPECT_EQ(events->events.last(), "NodeMouseMove");
    move(onLink());
    EXPECT_EQ(control->picnetwork()->ToolTipText(), QStringLiteral("because"));
    EXPECT_EQ(events->events.last(), "LinkMouseMove");
    move(QPointF(300, 4400));
    EXPECT_EQ(control->picnetwork()->ToolTipText(), QStringLiteral("the network"));
    build["C"]->setEnabled(false);
    build["C"]->TooltipText = QStringLiteral("about C");
    move(centreOf(build["C"]));
    EXPECT_EQ(control->picnetwork()->ToolTipText(), QStringLiteral("the network"));
    // A tip that looks like markup is shown as written.
    build["A"]->TooltipText = QStringLiteral("<b>about</b> A &amp; B");
    move(centreOf(build["A"]));
    EXPECT_EQ(test::shownText(control->picnetwork()->toolTip()), QStringLiteral("<b>about</b> A &amp; B"));
}

// --- Editing mode ----------------------------------------------------------------------------------

TEST_F(Pointer, PlainClickReplacesTheSelectionAndShiftClickToggles)
{
    click(build["A"]);
    EXPECT_EQ(selection(), std::vector<std::shared_ptr<Node>>({build["A"]}));
    click(build["B"], Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(selection(), std::vector<std::shared_ptr<Node>>({build["A"], build["B"]}));
    EXPECT_TRUE(build["A"]->Selected() && build["B"]->Selected());
    click(build["A"], Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(selection(), std::vector<std::shared_ptr<Node>>({build["B"]}));
    EXPECT_FALSE(build["A"]->Selected());
    click(build["C"]);
    EXPECT_EQ(selection(), std::vector<std::shared_ptr<Node>>({build["C"]}));
    EXPECT_FALSE(build["B"]->Selected());
    // A click is no link from a node to itself, and raises nothing.
    EXPECT_EQ(snapshots(), 0);
    EXPECT_EQ(build["C"]->Links().Count(), 1);
    EXPECT_TRUE(clicks().isEmpty() && clicked.empty());
}

TEST_F(Pointer, RubberBandSelectsTheNodesItsRectangleOverlaps)
{
    press(QPointF(100, 100));
    move(QPointF(800, 600));
    EXPECT_TRUE(control->Line1().Visible() && control->Line4().Visible());
    move(centreOf(build["A"]));
    release(centreOf(build["A"]));
    EXPECT_EQ(selection(), std::vector<std::shared_ptr<Node>>({build["A"]}));
    EXPECT_FALSE(control->Line1().Visible() || control->Line2().Visible() || control->Line3().Visible()
                 || control->Line4().Visible());
    EXPECT_FALSE(control->cbSelectionAnchored);

    // Drawn from the lower right to the upper left it selects the same way, the others unselected.
    drag(QPointF(5900, 4400), QPointF(3000, 100));
    EXPECT_EQ(selection(), std::vector<std::shared_ptr<Node>>({build["C"]}));
    EXPECT_FALSE(build["A"]->Selected());
}

TEST_F(Pointer, DraggingFromNodeToNodeAddsALinkUnlessItWouldCloseACycle)
{
    drag(centreOf(build["C"]), centreOf(build["B"]));
    ASSERT_EQ(build["C"]->Links().Count(), 2);
    EXPECT_EQ(build["C"]->Links().Item(2)->ConnectionTo, build["B"]);
    EXPECT_EQ(snapshots(), 1);
    EXPECT_FALSE(control->linLink().Visible() || control->cbLinkAnchored);

    drag(centreOf(build["A"]), centreOf(build["C"]));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes.back().text, QStringLiteral("Link would cause cycles"));
    EXPECT_EQ(ui->messageBoxes.back().style, platform::msgbox::Exclamation);
    EXPECT_EQ(build["A"]->Links().Count(), 0);
    EXPECT_EQ(snapshots(), 1);

    // Dragging along a link that exists opens the link menu for it.
    PopupChoice choice(control->mnuLinkProperties);
    drag(centreOf(build["C"]), centreOf(build["A"]));
    EXPECT_EQ(choice.opened, control->mnuLink());
    EXPECT_EQ(control->LinkFound, link());
    EXPECT_EQ(build["C"]->Links().Count(), 2);
    EXPECT_EQ(snapshots(), 1);

    // A link within a layer has the layers rearranged so that it leads down.
    drag(centreOf(build["B"]), centreOf(build["A"]));
    EXPECT_EQ(build["B"]->Links().Count(), 1);
    EXPECT_EQ(layerNames(*build.network), Names({"A", "B", "C"}));
    EXPECT_EQ(snapshots(), 2);
}

TEST_F(Pointer, NestedNodeLinksToNothingWhicheverWayTheLinkIsMade)
{
    build["C"]->setExternal(true);
    drag(centreOf(build["C"]), centreOf(build["B"]));
    control->NodeFound = build["C"];
    control->mnuLinkAdd_Click();
    EXPECT_TRUE(control->linLink().Visible());
    click(build["B"]);
    ASSERT_EQ(ui->messageBoxes.size(), 2u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Cannot link from nested node"));
    EXPECT_EQ(ui->messageBoxes[1].text, QStringLiteral("Cannot link from nested node"));
    EXPECT_EQ(build["C"]->Links().Count(), 1);
    EXPECT_FALSE(control->linLink().Visible() || control->cbLinkAnchored);
    EXPECT_EQ(snapshots(), 0);
}

TEST_F(Pointer, FailedGestureLeavesTheNextOneAFreshStart)
{
    NetworkBuilder lower({"D"});
    useNetworks({build.network, lower.network});
    press(QPointF(100, 100));
    ASSERT_TRUE(control->cbSelectionAnchored);
    control->setNetworkIndex(7); // no such network: the release fails
    release(QPointF(900, 900));
    EXPECT_FALSE(reportedErrors().filter(QStringLiteral("picNetwork_MouseUp")).isEmpty());
    EXPECT_FALSE(control->cbSelectionAnchored || control->Line1().Visible());
    EXPECT_FALSE(ui->busyPointer.back());

    control->setNetworkIndex(1);
    click(build["A"]);
    EXPECT_EQ(selection(), std::vector<std::shared_ptr<Node>>({build["A"]}));
}
