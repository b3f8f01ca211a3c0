// The shown network, zooming between levels, and the narrator buttons.
#include "DiagramTestSupport.h"

#include "diagram/NarratorButton.h"
#include "model/Layer.h"
#include "model/Node.h"

#include <QFocusEvent>
#include <QTest>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class ShownNetwork : public DiagramTest {
protected:
    ShownNetwork()
    {
        openLowerLevel(root["E"], root.network, lower.network, lower["L1"]);
        root.network->Name()->setText(QStringLiteral("Cars"));
        lower.network->Name()->setText(QStringLiteral("Battery"));
        useNetworks({root.network, lower.network});
    }

    NetworkBuilder root {{"A E"}};
    NetworkBuilder lower {{"L2", "L1"}};
};

} // namespace

TEST_F(ShownNetwork, CurrentNetworkIsShownUnlessOnlyOneIsOpen)
{
    control->setNetworkIndex(2);
    EXPECT_EQ(control->ActiveNetwork(), lower.network);
    control->setNetworkIndex(5);
    EXPECT_NE(errorNumberOf([&] { control->ActiveNetwork(); }), 0);

    control->Networks.Clear();
    control->Networks.Add(root.network);
    control->DisplayOverview = true;
    control->DisplayCompleteview = true;
    EXPECT_EQ(control->ActiveNetwork(), root.network);
}

TEST_F(ShownNetwork, ButtonsAreRebuiltOnlyWhenTheShownNetworkChanges)
{
    control->ActiveNetwork();
    NarratorButton* first = control->cmdNarrater(1);
    control->ActiveNetwork();
    EXPECT_EQ(control->cmdNarrater(1), first);
    EXPECT_EQ(root["A"]->Button, first);

    control->setNetworkIndex(2);
    control->ActiveNetwork();
    EXPECT_NE(control->cmdNarrater(1), first);
    EXPECT_EQ(control->cmdNarrater(1)->text(), QStringLiteral("L2"));
    // The nodes left behind no longer refer to the buttons that went.
    EXPECT_EQ(root["A"]->Button, nullptr);
    EXPECT_EQ(root["E"]->Button, nullptr);
}

TEST_F(ShownNetwork, OneButtonPerNodeInLayerThenNodeOrder)
{
    NetworkBuilder net({"A B", "", "C D F G"});
    useNetworks({net.network});
    control->UpdateButtons();
    EXPECT_EQ(control->mintButtonCount, 6);
    const QStringList expected {"A", "B", "C", "D", "F", "G"};
    for (qint16 i = 1; i <= 6; ++i) {
        NarratorButton* button = control->cmdNarrater(i);
        EXPECT_EQ(button->text(), expected[i - 1]);
        EXPECT_EQ(button->pos(), QPoint(-1000 / 15, -1000 / 15));
        EXPECT_TRUE(button->isVisible());
    }
    EXPECT_EQ(net["C"]->Button, control->cmdNarrater(3));
    EXPECT_NE(errorNumberOf([&] { control->cmdNarrater(7); }), 0);
}

TEST_F(ShownNetwork, FocusingAButtonSelectsOnlyItsNode)
{
    control->UpdateButtons();
    root["A"]->setSelected(true);
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(control->cmdNarrater(2), &focus);
    EXPECT_EQ(selectedNames(*root.network), std::vector<std::string>({"E"}));
    EXPECT_FALSE(basGlobal::NarratorSelecting);
}

TEST_F(ShownNetwork, ZoomInShowsTheLowerLevelWithItsEntryNodeSelected)
{
    root.network->setScenarioName(QStringLiteral("Monday"));
    root["A"]->setSelected(true);
    control->ZoomIn(root["E"]);
    EXPECT_EQ(control->NetworkIndex(), 2);
    EXPECT_EQ(form.caption, QStringLiteral("Cars - Monday - Battery"));
    EXPECT_TRUE(selectedNames(*root.network).empty());
    EXPECT_EQ(selectedNames(*lower.network), std::vector<std::string>({"L1"}));
}

TEST_F(ShownNetwork, ZoomOutSelectsTheNodeThroughWhichTheLevelWasEntered)
{
    control->ZoomIn(root["E"]);
    control->ZoomOut(root["E"]);
    EXPECT_EQ(control->NetworkIndex(), 1);
    EXPECT_EQ(form.caption, QStringLiteral("Cars - Cars")); // no scenario: no middle part
    EXPECT_EQ(selectedNames(*root.network), std::vector<std::string>({"E"}));
    EXPECT_TRUE(selectedNames(*lower.network).empty());
}

TEST_F(ShownNetwork, ZoomInOnAnOrdinaryNodeStopsWithoutChangingTheNetworkShown)
{
    control->ZoomIn(root["A"]);
    EXPECT_EQ(control->NetworkIndex(), 1);
    EXPECT_TRUE(form.captionsWritten.isEmpty());
}

TEST_F(ShownNetwork, ControlWithAFocusedButtonClosesWithoutPassingTheFocusAround)
{
    control->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(control.get()));
    control->UpdateButtons();
    control->cmdNarrater(2)->setFocus();
    ASSERT_TRUE(control->cmdNarrater(2)->hasFocus());
    control.reset();
}
