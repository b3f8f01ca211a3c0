// Copy, cut and paste through the popup menus and the shared clipboard.
#include "PointerTestSupport.h"

#include "diagram/doubles/ScriptedServerSession.h"
#include "model/Link.h"
#include "model/clsControl.h"

#include <QSet>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Layer 1 holds A and X, layer 2 holds B, linked to A, and C, linked to X. On the 6000 x
// 4500 canvas the point (5900, 4400) is empty.
class Clipboard : public PointerTest {
protected:
    Clipboard()
    {
        build.links("B>A C>X");
        build["B"]->Links().Item(1)->WeightAffirm = 0.8;
        useNetworks({build.network});
    }

    void select(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            build[name]->setSelected(true);
            control->Selected.Add(build[name]);
        }
    }
    void onCanvas(QAction* item) { choose(kEmpty, control->mnuNetwork(), item); }
    // A, B and X, clicked then added with Shift in the active window: A's narrator button
    // has the keyboard focus.
    void selectWithTheMouse()
    {
        control->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(control.get()));
        click(build["A"]);
        click(build["B"], Qt::LeftButton, Qt::ShiftModifier);
        click(build["X"], Qt::LeftButton, Qt::ShiftModifier);
        ASSERT_EQ(control->Selected.Count(), 3);
        ASSERT_TRUE(control->cmdNarrater(1)->hasFocus());
    }

    std::shared_ptr<Node> nodeAt(clsNetwork& network, qint16 layer, qint16 position)
    {
        return network.Layers().Item(layer)->Nodes().Item(position);
    }
    static QSet<QString> guidsOf(clsNetwork& network)
    {
        QSet<QString> guids;
        for (const auto& layer : network.Layers())
            for (const auto& node : layer->Nodes())
                guids << node->GUID;
        return guids;
    }

    static constexpr QPointF kEmpty {5900, 4400};
    NetworkBuilder build {{"A X", "B C"}};
};

} // namespace

TEST_F(Clipboard, ASelectionIsCopiedWithItsOwnLinksAndPastedJoinedIntoAnyNetwork)
{
    select({"A", "B", "C"});
    choose(centreOf(build["A"]), control->mnuNetwork(), control->mnuNetworkCopy);
    ASSERT_EQ(sharedClipboard()->Actions.Count(), 1); // no snapshot
    const auto entry = sharedClipboard()->Actions.Item(1);
    EXPECT_EQ(entry->action, 2);
    EXPECT_EQ(entry->ObjectType, 2);
    EXPECT_EQ(entry->NetworkGUID, build.network->GUID());
    const auto copied = entry->Object.object<clsNetwork>();
    ASSERT_TRUE(copied);
    EXPECT_EQ(layerNames(*copied), Names({"A", "B C"}));
    EXPECT_FALSE(guidsOf(*copied).intersects(guidsOf(*build.network)));
    EXPECT_EQ(nodeAt(*copied, 2, 1)->Links().Item(1)->ConnectionTo, nodeAt(*copied, 1, 1));
    EXPECT_TRUE(nodeAt(*copied, 2, 2)->Links().isEmpty()); // its evidence X was not copied
    EXPECT_EQ(layerNames(*build.network), Names({"A X", "B C"}));

    // Into another network: a layer is added, the network's controls are merged, and the
    // pasted nodes, numbered on, become the selection.
    const auto session = std::make_shared<doubles::ScriptedServerSession>();
    control->setServerSession(session);
    control->Connected = true;
    NetworkBuilder other({"P"});
    auto score = std::make_shared<clsControl>();
    score->Name = QStringLiteral("Score");
    other.network->Controls.Add(score, score->Name);
    useNetworks({other.network});
    other["P"]->setSelected(true);
    onCanvas(control->mnuNetworkPaste);
    EXPECT_EQ(layerNames(*other.network), Names({"P A", "B C"}));
    const auto a = nodeAt(*other.network, 1, 2);
    const auto b = nodeAt(*other.network, 2, 1);
    const auto c = nodeAt(*other.network, 2, 2);
    EXPECT_EQ(std::vector<int>({a->NodeNumber, b->NodeNumber, c->NodeNumber}), std::vector<int>({2, 3, 4}));
    EXPECT_FALSE(other["P"]->Selected());
    EXPECT_EQ(control->Selected.Snapshot(), std::vector<std::shared_ptr<Node>>({a, b, c}));
    EXPECT_TRUE(c->Controls().Contains(QStringLiteral("Score")));
    EXPECT_EQ(guidsOf(*other.network).size(), 4);
    EXPECT_FALSE(guidsOf(*other.network).intersects(guidsOf(*copied)));
    ASSERT_EQ(b->Links().Count(), 1);
    const auto& link = *b->Links().Item(1);
    EXPECT_EQ(link.ConnectionTo, a);
    EXPECT_EQ(link.WeightAffirm, 0.8);
    EXPECT_EQ(a->Parents().Item(1).lock(), b);
    a->setAnswer(1.0); // the answer reaches the pasted conclusion's link
    EXPECT_NEAR(link.DOT, 0.8, 1e-12);
    EXPECT_EQ(sharedClipboard()->Actions.Item(2)->action, 3);
    ASSERT_EQ(session->updates.size(), 2u); // the added layer, then the paste

    // Into the network it came from, twice: each paste is a set of its own.
    useNetworks({build.network});
    onCanvas(control->mnuNetworkPaste);
    onCanvas(control->mnuNetworkPaste);
    EXPECT_EQ(layerNames(*build.network), Names({"A X A A", "B C B C B C"}));
    EXPECT_EQ(guidsOf(*build.network).size(), 10);
    EXPECT_EQ(nodeAt(*build.network, 2, 5)->Links().Item(1)->ConnectionTo, nodeAt(*build.network, 1, 4));
    EXPECT_EQ(build["A"]->Parents().Count(), 1);
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(Clipboard, CutNodesCanBePastedBack)
{
    select({"A", "B"});
    choose(centreOf(build["A"]), control->mnuNetwork(), control->mnuNetworkCut);
    EXPECT_EQ(layerNames(*build.network), Names({"X", "C"}));
    EXPECT_TRUE(control->Selected.isEmpty());
    EXPECT_EQ(control->mintButtonCount, 2);
    EXPECT_EQ(sharedClipboard()->Actions.Item(1)->action, 1);

    onCanvas(control->mnuNetworkPaste);
    EXPECT_EQ(layerNames(*build.network), Names({"X A", "C B"}));
    const auto a = nodeAt(*build.network, 1, 2);
    const auto b = nodeAt(*build.network, 2, 2);
    EXPECT_NE(a->GUID, build["A"]->GUID);
    EXPECT_EQ(b->Links().Item(1)->ConnectionTo, a);
    EXPECT_EQ(control->mintButtonCount, 4);
    EXPECT_EQ(sharedClipboard()->Actions.Count(), 2);
}

// A selection made with the mouse leaves its first node's narrator button with the keyboard
// focus; the popup hands the focus back to that button when it closes. Copy and Cut still take
// the whole selection.
TEST_F(Clipboard, CopyThroughThePopupTakesTheWholeSelectionMadeWithTheMouse)
{
    selectWithTheMouse();
    choose(centreOf(build["B"]), control->mnuNetwork(), control->mnuNetworkCopy);
    const auto copied = sharedClipboard()->Actions.Item(1)->Object.object<clsNetwork>();
    ASSERT_TRUE(copied);
    EXPECT_EQ(layerNames(*copied), Names({"A X", "B"}));
    EXPECT_EQ(selectedNames(*build.network), std::vector<std::string>({"A", "X", "B"}));
}

TEST_F(Clipboard, CutThroughThePopupTakesTheWholeSelectionMadeWithTheMouseAndPastesItBack)
{
    selectWithTheMouse();
    choose(centreOf(build["B"]), control->mnuNetwork(), control->mnuNetworkCut);
    EXPECT_EQ(layerNames(*build.network), Names({"", "C"}));
    onCanvas(control->mnuNetworkPaste);
    EXPECT_EQ(layerNames(*build.network), Names({"A X", "C B"}));
}

// A real keyboard move to a button selects that button's node alone.
TEST_F(Clipboard, MovingTheKeyboardFocusToANarratorButtonSelectsItsNodeAlone)
{
    selectWithTheMouse();
    control->cmdNarrater(2)->QPushButton::setFocus(Qt::TabFocusReason);
    EXPECT_EQ(selectedNames(*build.network), std::vector<std::string>({"X"}));
}

TEST_F(Clipboard, ANodeCopyPastesAtTheEndOfTheFirstLayerAsAnOrdinaryNode)
{
    NetworkBuilder lower({"L"});
    openLowerLevel(build["C"], build.network, lower.network, lower["L"]);
    choose(build["C"], control->mnuNodeCopy);
    const auto entry = sharedClipboard()->Actions.Item(1);
    EXPECT_EQ(entry->ObjectType, 1);
    EXPECT_TRUE(entry->OriginalObject.isEmpty());
    EXPECT_NE(entry->Object.object<Node>()->GUID, build["C"]->GUID);

    onCanvas(control->mnuNetworkPaste);
    EXPECT_EQ(layerNames(*build.network), Names({"A X C", "B C"}));
    const auto pasted = nodeAt(*build.network, 1, 3);
    EXPECT_TRUE(pasted->Links().isEmpty());
    EXPECT_FALSE(pasted->External() || pasted->LowerLevelNetwork || pasted->Selected());
    EXPECT_TRUE(pasted->ExternalNetworkGUID.isEmpty());
    EXPECT_TRUE(control->Selected.isEmpty());
    EXPECT_NE(pasted->GUID, entry->Object.object<Node>()->GUID);

    NetworkBuilder empty;
    useNetworks({empty.network});
    onCanvas(control->mnuNetworkPaste);
    EXPECT_EQ(layerNames(*empty.network), Names({"C"}));
}

TEST_F(Clipboard, PasteWithoutACopyPastesNothingAndDisablesItself)
{
    control->Selected.Clear();
    onCanvas(control->mnuNetworkCopy); // an empty selection copies nothing
    control->Change();
    control->mnuNetworkPaste->trigger();
    EXPECT_FALSE(control->mnuNetworkPaste->isEnabled());
    EXPECT_EQ(layerNames(*build.network), Names({"A X", "B C"}));
    EXPECT_EQ(sharedClipboard()->Actions.Count(), 1);
    EXPECT_FALSE(sharedClipboard()->Paste);
}

TEST_F(Clipboard, LowerLevelsOfAPastedNodeAreCopiedOnceEvenWhenTheyOpenEachOther)
{
    NetworkBuilder upper({"U"});
    NetworkBuilder lower({"V"});
    openLowerLevel(build["C"], build.network, upper.network, upper["U"]);
    openLowerLevel(upper["U"], upper.network, lower.network, lower["V"]);
    openLowerLevel(lower["V"], lower.network, upper.network, upper["U"]); // and back up again
    control->PasteLowerLevels(build["C"]);
    ASSERT_EQ(control->Networks.Count(), 3); // the deepest level first
    const auto upperCopy = control->Networks.Item(3);
    EXPECT_EQ(control->Networks.Item(2)->GUID(), lower.network->GUID());
    EXPECT_EQ(upperCopy->GUID(), upper.network->GUID());
    EXPECT_EQ(build["C"]->LowerLevelNetwork, upperCopy);
    const auto entry = nodeAt(*upperCopy, 1, 1);
    EXPECT_EQ(build["C"]->LowerLevelNode, entry);
    EXPECT_EQ(entry->HigherLevelNodes.Item(1).lock(), build["C"]);
    EXPECT_EQ(entry->LowerLevelNetwork, control->Networks.Item(2));

    control->PasteLowerLevels(build["C"]); // open already: only linked
    EXPECT_EQ(control->Networks.Count(), 3);
    EXPECT_TRUE(reportedErrors().isEmpty());
    lower["V"]->LowerLevelNetwork.reset(); // the levels made above hold each other
    lower["V"]->LowerLevelNode.reset();
}
