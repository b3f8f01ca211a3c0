// The pointer on the diagram: hit tests, selection, the viewing-mode events and Click,
// links drawn by dragging, the rubber band, and a clean start after a failed gesture.
#include "PointerTestSupport.h"

#include "model/Link.h"
#include "tests/support/ShownText.h"

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
