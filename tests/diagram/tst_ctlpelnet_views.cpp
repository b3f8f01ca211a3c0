// The shown network, zooming between levels, and the narrator buttons.
#include "DiagramTestSupport.h"

#include "diagram/NarratorButton.h"
#include "diagram/NarratorButtonSet.h"
#include "model/Layer.h"
#include "model/Node.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>
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
    control->cmdNarrater(1)->setText(QStringLiteral("kept"));
    control->ActiveNetwork();
    EXPECT_EQ(control->cmdNarrater(1)->text(), QStringLiteral("kept"));
    EXPECT_NE(root["A"]->Button, nullptr);

    control->setNetworkIndex(2);
    control->ActiveNetwork();
    EXPECT_EQ(control->cmdNarrater(1)->text(), QStringLiteral("L2"));
    // The nodes left behind no longer refer to the set; the nodes shown do.
    EXPECT_EQ(root["A"]->Button, nullptr);
    EXPECT_EQ(root["E"]->Button, nullptr);
    EXPECT_NE(lower["L1"]->Button, nullptr);
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
        EXPECT_EQ(button->Index(), i);
        EXPECT_EQ(button->text(), expected[i - 1]);
        EXPECT_EQ(button->pos(), QPoint(-1000 / 15, -1000 / 15));
        EXPECT_TRUE(button->isVisible());
    }
    EXPECT_NE(errorNumberOf([&] { control->cmdNarrater(7); }), 0);

    // A node renamed renames its button.
    control->cmdNarrater(3);
    auto gauge = std::make_shared<TextLabel>();
    gauge->setText(QStringLiteral("Gauge"));
    net["C"]->setName(gauge);
    EXPECT_EQ(control->cmdNarrater(3)->text(), QStringLiteral("Gauge"));
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

TEST_F(ShownNetwork, AButtonReadsOutAVeryLongNameOnlyInPart)
{
    NetworkBuilder net({"A"});
    net["A"]->Name()->setText(QString(3'000'000, u'x'));
    useNetworks({net.network});
    control->UpdateButtons();
    EXPECT_EQ(control->cmdNarrater(1)->text(), QString(NarratorButtonSet::kCaptionLimit, u'x') + QChar(0x2026));
}

TEST_F(ShownNetwork, SelectingANodeMovesTheFocusToItsButton)
{
    NetworkBuilder net({"A B", "C D F G"});
    useNetworks({net.network});
    control->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(control.get()));
    control->UpdateButtons();
    net["D"]->setSelected(true);
    auto* focused = dynamic_cast<NarratorButton*>(QApplication::focusWidget());
    ASSERT_NE(focused, nullptr);
    EXPECT_EQ(focused->Index(), 4);
    EXPECT_EQ(focused->text(), QStringLiteral("D"));
    EXPECT_EQ(selectedNames(*net.network), std::vector<std::string>({"D"}));
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

// --- The keyboard among the narrator buttons -----------------------------------------------------

namespace {

// The control in a window with a text box after it, so the focus can leave the control and
// come back to it.
class NarratorKeyboard : public DiagramTest {
protected:
    NarratorKeyboard()
    {
        auto* layout = new QVBoxLayout(&window);
        control->setParent(&window);
        layout->addWidget(control.get());
        after = new QLineEdit(&window);
        layout->addWidget(after);
        window.resize(400, 340);
        window.show();
        window.activateWindow();
        ready = QTest::qWaitForWindowActive(&window);
        useNetworks({net.network});
        control->UpdateButtons();
    }
    ~NarratorKeyboard() override { control.reset(); }

    // The node of the focused narrator button; 0 when the focus is elsewhere.
    qint32 focusedIndex() const
    {
        const auto* button = dynamic_cast<NarratorButton*>(QApplication::focusWidget());
        return button ? button->Index() : 0;
    }
    void press(int key) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)); }
    std::vector<std::string> selected()
    {
        std::vector<std::string> names;
        for (const auto& layer : net.network->Layers())
            for (const auto& node : layer->Nodes())
                if (node->Selected())
                    names.push_back(node->Name()->Text().toStdString());
        return names;
    }

    QWidget window;
    QLineEdit* after = nullptr;
    bool ready = false;
    NetworkBuilder net {{"A B", "", "C D F G"}};
};

} // namespace

TEST_F(NarratorKeyboard, TabWalksTheNodesInOrderSelectingEachAndLeavesAfterTheLast)
{
    ASSERT_TRUE(ready);
    // Tab from the text box comes round to element 0, which hands the focus to the first
    // node's button.
    after->setFocus(Qt::OtherFocusReason);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusedIndex(), 1);
    EXPECT_EQ(selected(), std::vector<std::string>({"A"}));
    const std::vector<std::string> names {"A", "B", "C", "D", "F", "G"};
    for (qint32 index = 2; index <= 6; ++index) {
        press(Qt::Key_Tab);
        ASSERT_EQ(focusedIndex(), index);
        EXPECT_EQ(selected(), std::vector<std::string>({names[std::size_t(index) - 1]}));
    }
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);

    // Shift+Tab comes back to the last node, then goes back node by node.
    press(Qt::Key_Backtab);
    EXPECT_EQ(focusedIndex(), 6);
    EXPECT_EQ(selected(), std::vector<std::string>({"G"}));
    for (qint32 index = 5; index >= 1; --index) {
        press(Qt::Key_Backtab);
        ASSERT_EQ(focusedIndex(), index);
    }
    EXPECT_EQ(selected(), std::vector<std::string>({"A"}));
}

TEST_F(NarratorKeyboard, TabGoesOnFromANodeSelectedWithThePointer)
{
    ASSERT_TRUE(ready);
    net["D"]->setSelected(true); // as a click on the node selects it
    EXPECT_EQ(focusedIndex(), 4);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusedIndex(), 5);
    EXPECT_EQ(selected(), std::vector<std::string>({"F"}));
    press(Qt::Key_Backtab);
    press(Qt::Key_Backtab);
    EXPECT_EQ(focusedIndex(), 3);
    EXPECT_EQ(selected(), std::vector<std::string>({"C"}));
}

TEST_F(NarratorKeyboard, ThousandsOfNodesKeepAFewButtonsAndClose)
{
    ASSERT_TRUE(ready);
    NetworkBuilder large;
    for (int i = 0; i < 4000; ++i)
        large.network->AddNode(1 + i % 4);
    useNetworks({large.network});
    control->UpdateButtons();
    EXPECT_EQ(control->mintButtonCount, 4000);
    EXPECT_LE(control->findChildren<NarratorButton*>().size(), 5);

    const auto node = large.network->Layers().Item(2)->Nodes().Item(500); // node 1,500
    node->setSelected(true);
    EXPECT_EQ(focusedIndex(), 1500);
    press(Qt::Key_Tab);
    EXPECT_EQ(focusedIndex(), 1501);
    EXPECT_TRUE(large.network->Layers().Item(2)->Nodes().Item(501)->Selected());
    EXPECT_FALSE(node->Selected());
    EXPECT_LE(control->findChildren<NarratorButton*>().size(), 5);

    // Closing lets every node go of its button.
    control.reset();
    for (const auto& layer : large.network->Layers())
        for (const auto& each : layer->Nodes())
            ASSERT_EQ(each->Button, nullptr);
}
