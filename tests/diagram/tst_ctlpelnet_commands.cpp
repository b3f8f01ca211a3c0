// The node, link and network menu commands reached with the pointer, node move mode, zooming
// through the handles, and the same gestures on a canvas wider than 32,767 twips.
#include "PointerTestSupport.h"

#include "answercontrols/Circle.h"
#include "answercontrols/Twips.h"
#include "diagram/doubles/ScriptedServerSession.h"
#include "model/Link.h"
#include "platform/Colours.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Layer 1 holds A over B, layer 2 holds C, which links to A; layer 3 is empty. On the 6000 x
// 4500 canvas the columns are 2000 wide: A is centred at (1000, 1125), B at (1000, 3375),
// C at (3000, 2250).
class Commands : public PointerTest {
protected:
    Commands()
    {
        build.links("C>A");
        useNetworks({build.network});
    }

    QPointF onLink() { return (centreOf(build["A"]) + centreOf(build["C"])) / 2.0; }
    QPointF markerCentre() const
    {
        const Circle& marker = *control->Circle1();
        return QPointF(twips::Left(marker) + twips::Width(marker) / 2.0, twips::Top(marker) + twips::Height(marker) / 2.0);
    }

    // A point of the node's upper handle, found as the hit test finds it.
    QPointF onUpperHandle(const std::shared_ptr<Node>& node)
    {
        const QPointF centre = centreOf(node);
        for (double y = centre.y(); y > 0; y -= 15) {
            if (control->OverUp(float(centre.x()), float(y)) == node)
                return {centre.x(), y};
        }
        ADD_FAILURE() << "no upper handle";
        return centre;
    }

    NetworkBuilder build {{"A B", "C", ""}};
};

} // namespace

TEST_F(Commands, DeleteNodeTakesItsLinksAndEmptiesTheSelection)
{
    choose(build["A"], control->mnuNodeDelete);
    EXPECT_EQ(layerNames(*build.network), Names({"B", "C", ""}));
    EXPECT_EQ(build["C"]->Links().Count(), 0);
    EXPECT_TRUE(control->Selected.isEmpty());
    EXPECT_EQ(control->NodeFound, nullptr);
    EXPECT_EQ(control->mintButtonCount, 2);
    EXPECT_EQ(snapshots(), 1);
}

TEST_F(Commands, AddNodeGoesToTheEndOfTheFirstLayerAndAddLinkNeedsASecondNode)
{
    choose(QPointF(5000, 4400), control->mnuNetwork(), control->mnuNodeAdd);
    EXPECT_EQ(build.network->Layers().Item(1)->Nodes().Count(), 3);
    EXPECT_EQ(control->mintButtonCount, 4);
    EXPECT_EQ(snapshots(), 1);

    NetworkBuilder lone({"A"});
    useNetworks({lone.network});
    choose(lone["A"], control->mnuNodeProperties);
    EXPECT_FALSE(control->mnuLinkAdd->isEnabled());
    lone.node(1);
    choose(lone["A"], control->mnuNodeProperties);
    EXPECT_TRUE(control->mnuLinkAdd->isEnabled());
}

TEST_F(Commands, AddLinkFromTheMenuIsCompletedByAPressOnTheOtherNode)
{
    choose(build["C"], control->mnuLinkAdd);
    EXPECT_TRUE(control->cbLinkAnchored);
    EXPECT_TRUE(control->linLink().Visible());
    EXPECT_EQ(QPointF(control->linLink().X1(), control->linLink().Y1()), centreOf(build["C"]));
    EXPECT_EQ(snapshots(), 0);
    move(QPointF(990, 3375));
    EXPECT_EQ(QPointF(control->linLink().X2(), control->linLink().Y2()), QPointF(990, 3375));
    click(build["B"]);
    ASSERT_EQ(build["C"]->Links().Count(), 2);
    EXPECT_EQ(build["C"]->Links().Item(2)->ConnectionTo, build["B"]);
    EXPECT_FALSE(control->cbLinkAnchored || control->linLink().Visible());
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(Commands, DeleteLinkFromTheLinkMenuTakesNoSnapshot)
{
    const auto link = build["C"]->Links().Item(1);
    choose(onLink(), control->mnuLink(), control->mnuLinkDelete);
    EXPECT_EQ(build["C"]->Links().Count(), 0);
    EXPECT_EQ(control->LinkFound, link);
    EXPECT_EQ(snapshots(), 0);
    EXPECT_TRUE(build.network->Dirty());
}

TEST_F(Commands, ColourComesFromTheDialogAndACancelChangesNothing)
{
    build["A"]->Color = platform::colours::rgb(1, 2, 3);
    ui->queueColourAnswer(platform::colours::rgb(255, 0, 0));
    choose(build["A"], control->mnuNodeColour);
    EXPECT_EQ(build["A"]->Color, platform::colours::rgb(255, 0, 0));
    EXPECT_EQ(ui->colourDialogs, std::vector<qint32>({platform::colours::rgb(1, 2, 3)}));
    EXPECT_EQ(snapshots(), 1);

    choose(build["A"], control->mnuNodeColour); // closed without a colour
    EXPECT_EQ(build["A"]->Color, platform::colours::rgb(255, 0, 0));
    EXPECT_EQ(ui->colourDialogs.size(), 2u);
    EXPECT_EQ(snapshots(), 1);
}

TEST_F(Commands, DisabledSwitchesTheNodeEachTimeItIsChosen)
{
    choose(build["A"], control->mnuNodeDisabled);
    EXPECT_FALSE(build["A"]->Enabled());
    EXPECT_TRUE(control->mnuNodeDisabled->isChecked());
    choose(build["A"], control->mnuNodeDisabled);
    EXPECT_TRUE(build["A"]->Enabled());
    EXPECT_EQ(snapshots(), 2);
}

TEST_F(Commands, CommandsWithNothingUnderThemDoNothing)
{
    for (QAction* item : {control->mnuNodeDelete, control->mnuNodeColour, control->mnuNodeDisabled,
                          control->mnuNodeMove, control->mnuLinkDelete})
        item->trigger();
    control->mnuLinkAdd_Click();
    EXPECT_TRUE(reportedErrors().isEmpty());
    EXPECT_TRUE(ui->colourDialogs.empty());
    EXPECT_FALSE(control->cbLinkAnchored || control->cbMoveAnchored);
    EXPECT_EQ(snapshots(), 0);
}

// --- Node move mode --------------------------------------------------------------------------------

TEST_F(Commands, MoveCarriesTheNodeWithItsLinesToAnotherRowAndAnotherLayer)
{
    const auto session = std::make_shared<doubles::ScriptedServerSession>();
    control->setServerSession(session);
    control->Connected = true;
    // Within its layer: A goes below B, its incoming link's line following the marker.
    choose(build["A"], control->mnuNodeMove);
    ASSERT_TRUE(control->cbMoveAnchored);
    EXPECT_TRUE(control->Circle1()->isVisible());
    EXPECT_NEAR(markerCentre().x(), 1000, 15);
    EXPECT_NEAR(markerCentre().y(), 1125, 15);
    ASSERT_EQ(control->linLinks().Count(), 1);
    move(QPointF(1000, 4000));
    EXPECT_NEAR(markerCentre().y(), 3375, 15);
    EXPECT_LT(control->linLinks().Item(1).X1(), 1600); // from the marker's rim towards C
    click(QPointF(1000, 4000));
    EXPECT_EQ(layerNames(*build.network), Names({"B A", "C", ""}));
    EXPECT_FALSE(control->cbMoveAnchored || control->Circle1()->isVisible());
    EXPECT_EQ(control->linLinks().Count(), 0);
    EXPECT_EQ(snapshots(), 1);
    ASSERT_EQ(session->updates.size(), 1u); // online, the moved network goes to the server
    EXPECT_EQ(session->updates[0].guid, build.network->GUID());
    EXPECT_TRUE(session->updates[0].xml.startsWith(QStringLiteral("<kelvanenetwork>\r\n")));

    // Into the empty layer: the marker goes to the middle of its height.
    choose(build["C"], control->mnuNodeMove);
    move(QPointF(5000, 600));
    EXPECT_NEAR(markerCentre().x(), 5000, 15);
    EXPECT_NEAR(markerCentre().y(), 2250, 15);
    // A press on the marker counts as a press on the canvas beneath it.
    QTest::mousePress(control->Circle1(), Qt::LeftButton, {}, control->Circle1()->rect().center());
    EXPECT_EQ(layerNames(*build.network), Names({"B A", "", "C"}));
    EXPECT_EQ(build["C"]->Layer.lock()->Index, 3);
    EXPECT_EQ(build["C"]->Index(), 1);
    EXPECT_EQ(snapshots(), 2);
}

TEST_F(Commands, MoveEndedWhereItStartedLeavesTheNodeInPlace)
{
    choose(build["A"], control->mnuNodeMove);
    move(QPointF(1000, 4000));
    click(QPointF(1000, 4000));
    // The marker starts on C; a press on it at once must not reuse the place A went to.
    choose(build["C"], control->mnuNodeMove);
    QTest::mousePress(control->Circle1(), Qt::LeftButton, {}, control->Circle1()->rect().center());
    EXPECT_EQ(layerNames(*build.network), Names({"B A", "C", ""}));
    EXPECT_FALSE(control->cbMoveAnchored);
}

TEST_F(Commands, ALinkAddedDuringAMoveFailsTheFeedbackAndEndsTheMove)
{
    choose(build["B"], control->mnuNodeMove);
    build.network->AddLink(build["C"], build["B"]); // no line was loaded for it
    move(QPointF(1000, 1000));
    EXPECT_FALSE(reportedErrors().filter(QStringLiteral("picNetwork_MouseMove")).isEmpty());
    EXPECT_FALSE(control->cbMoveAnchored || control->Circle1()->isVisible());
    EXPECT_EQ(control->linLinks().Count(), 0);
    EXPECT_FALSE(ui->busyPointer.back());
    click(build["A"]);
    EXPECT_EQ(layerNames(*build.network), Names({"A B", "C", ""}));
    EXPECT_TRUE(build["A"]->Selected());
}

// --- Zooming through the handles ------------------------------------------------------------------

TEST_F(Commands, ReleaseOnAHandleZoomsInAndOut)
{
    NetworkBuilder lower({"D"});
    openLowerLevel(build["B"], build.network, lower.network, lower["D"]);
    useNetworks({build.network, lower.network});
    click(QPointF(1000, 4200)); // B's lower handle
    EXPECT_EQ(control->NetworkIndex(), 2);
    EXPECT_TRUE(lower["D"]->Selected());
    click(QPointF(3000, 600)); // D's upper handle
    EXPECT_EQ(control->NetworkIndex(), 1);
    EXPECT_TRUE(build["B"]->Selected());
    EXPECT_EQ(snapshots(), 0);
}

TEST_F(Commands, AZoomEmptiesTheSelectionSoNothingLeftBehindIsDeletedOrCut)
{
    NetworkBuilder lower({"D E"});
    openLowerLevel(build["B"], build.network, lower.network, lower["D"]);
    useNetworks({build.network, lower.network});
    click(build["A"]);
    click(build["C"], Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(control->Selected.Count(), 2);

    click(QPointF(1000, 4200)); // B's lower handle
    ASSERT_EQ(control->NetworkIndex(), 2);
    EXPECT_TRUE(control->Selected.isEmpty());
    EXPECT_FALSE(build["A"]->Selected() || build["C"]->Selected());
    const QPointF emptyBelow(300, 4400);
    choose(emptyBelow, control->mnuNetwork(), control->mnunetworkDelete);
    choose(emptyBelow, control->mnuNetwork(), control->mnuNetworkCut);
    EXPECT_EQ(layerNames(*build.network), Names({"A B", "C", ""}));
    EXPECT_EQ(layerNames(*lower.network), Names({"D E"}));
    EXPECT_EQ(build["C"]->Links().Item(1)->ConnectionTo, build["A"]);

    // Back up the same way: what was selected below stays below.
    click(lower["E"], Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(control->Selected.Count(), 1);
    click(onUpperHandle(lower["D"]));
    ASSERT_EQ(control->NetworkIndex(), 1);
    EXPECT_TRUE(control->Selected.isEmpty());
    choose(QPointF(5900, 4400), control->mnuNetwork(), control->mnunetworkDelete);
    EXPECT_EQ(layerNames(*lower.network), Names({"D E"}));
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(Commands, AZoomEndsMoveModeAndTheNodeStaysInItsOwnNetwork)
{
    NetworkBuilder lower({"D"});
    openLowerLevel(build["B"], build.network, lower.network, lower["D"]);
    useNetworks({build.network, lower.network});
    choose(build["A"], control->mnuNodeMove);
    ASSERT_TRUE(control->cbMoveAnchored);

    click(QPointF(1000, 4200)); // B's lower handle
    ASSERT_EQ(control->NetworkIndex(), 2);
    EXPECT_FALSE(control->cbMoveAnchored || control->Circle1()->isVisible());
    EXPECT_EQ(control->linLinks().Count(), 0);
    click(QPointF(5000, 4000));
    EXPECT_EQ(layerNames(*lower.network), Names({"D"}));
    EXPECT_EQ(layerNames(*build.network), Names({"A B", "C", ""}));
    EXPECT_EQ(build["A"]->Network.lock(), build.network);

    // A move left under way while another network is shown (a zoom from the keyboard) is
    // dropped at the next press instead of carrying the node there.
    control->ZoomOut(build["B"]);
    choose(build["A"], control->mnuNodeMove);
    control->setNetworkIndex(2);
    click(QPointF(5000, 4000));
    EXPECT_FALSE(control->cbMoveAnchored);
    EXPECT_EQ(layerNames(*lower.network), Names({"D"}));
    EXPECT_EQ(layerNames(*build.network), Names({"A B", "C", ""}));
}

// --- A canvas wider than 32,767 twips --------------------------------------------------------------

TEST_F(Commands, GesturesWorkAtTheFarEdgeOfAWideCanvas)
{
    control->resize(3000, 300); // 45,000 twips wide: columns of 9000
    NetworkBuilder wide({"A", "B", "C", "D", ""});
    wide.links("D>C");
    useNetworks({wide.network});

    choose(wide["D"], control->mnuNodeMove);
    move(QPointF(42000, 2000));
    EXPECT_NEAR(markerCentre().x(), 40500, 15);
    click(QPointF(42000, 2000));
    EXPECT_EQ(layerNames(*wide.network), Names({"A", "B", "C", "", "D"}));
    const QPointF d = centreOf(wide["D"]);
    ASSERT_EQ(d.x(), 40500);
    EXPECT_EQ(control->OverLink(36000, float(d.y()) + 10), wide["D"]->Links().Item(1));

    std::vector<std::shared_ptr<Node>> clicked;
    QObject::connect(control.get(), &ctlPelnet::Click, [&](const std::shared_ptr<Node>& node) { clicked.push_back(node); });
    basGlobal::ApplicationMode = 1;
    click(wide["D"]);
    EXPECT_EQ(clicked, std::vector<std::shared_ptr<Node>>({wide["D"]}));
    basGlobal::ApplicationMode = 0;

    drag(d, centreOf(wide["B"]));
    EXPECT_EQ(wide["D"]->Links().Count(), 2);
    EXPECT_TRUE(reportedErrors().isEmpty());
    EXPECT_EQ(snapshots(), 2);
}
