// The diagram control's core: initial state, resizing, the space key, redrawing and the
// background picture, the current network, the changed flag and the order of the networks.
#include "DiagramTestSupport.h"

#include "diagram/NamesMeasuredAhead.h"
#include "diagram/NarratorButton.h"
#include "diagram/NetworkCanvas.h"
#include "model/Layer.h"
#include "model/FontProperties.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "platform/Colours.h"
#include "platform/Printer.h"
#include "platform/doubles/RecordingPrinter.h"

#include <QFile>

#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class ControlCore : public DiagramTest {
protected:
    void pressSpace() { releaseKey(Qt::Key_Space); }
    void releaseKey(int key)
    {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
        QCoreApplication::sendEvent(control.get(), &release);
    }

    std::vector<std::shared_ptr<Node>> clicked;
};

QStringList captions(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

} // namespace

TEST_F(ControlCore, StartsWithTheRootNetworkAsItsOnlyNetwork)
{
    ctlPelnet fresh;
    EXPECT_TRUE(fresh.Loaded);
    EXPECT_FALSE(fresh.Connected);
    ASSERT_EQ(fresh.Networks.Count(), 1);
    EXPECT_EQ(fresh.Networks.Item(1), fresh.Network());
    EXPECT_EQ(fresh.Network()->Index, 1);
    EXPECT_EQ(fresh.NetworkIndex(), 1);
    EXPECT_FALSE(fresh.Network()->ParentDisplay.expired());
    EXPECT_FALSE(fresh.DisplayOverview || fresh.DisplayCompleteview);
    EXPECT_EQ(fresh.ActiveNetwork(), fresh.Network());
}

TEST_F(ControlCore, MenusCarryTheirCaptionsInOrder)
{
    EXPECT_EQ(captions(*control->mnuNode()),
              QStringList({"&Add Link", "&Move", "-", "Cu&t", "&Copy", "&Delete", "-", "Pick up", "Apply", "-",
                           "Disa&bled", "&Colour", "&Properties"}));
    EXPECT_EQ(captions(*control->mnuNetwork()).first(), QStringLiteral("&Add Node"));
    EXPECT_EQ(captions(*control->mnuLink()), QStringList({"&Delete", "-", "&Properties"}));
    EXPECT_EQ(captions(*control->mnuApply()), QStringList({"&Answers", "&Fonts"}));
}

TEST_F(ControlCore, CanvasTakesTheControlsExtentRoundedDownToEvenNumbers)
{
    control->resize(1001, 751);
    EXPECT_EQ(control->picnetwork()->geometry(), QRect(0, 0, 1000, 750));
    EXPECT_DOUBLE_EQ(control->picnetwork()->ScaleWidth(), 15000.0);
    EXPECT_DOUBLE_EQ(control->picnetwork()->ScaleHeight(), 11250.0);
}

TEST_F(ControlCore, RootNetworkReplacedBecomesNetworkOneAndCurrent)
{
    NetworkBuilder other({"A"});
    control->setNetworkIndex(3);
    control->setNetwork(other.network);
    EXPECT_EQ(control->Network(), other.network);
    EXPECT_EQ(other.network->Index, 1);
    EXPECT_EQ(control->NetworkIndex(), 1);
    EXPECT_FALSE(other.network->ParentDisplay.expired());
    EXPECT_NE(control->Networks.Item(1), other.network); // not added to Networks
}

TEST_F(ControlCore, CurrentIndexSetsThePollingIntervalOnlyWhileConnected)
{
    NetworkBuilder root({"A"}), lower({"B"});
    lower.network->PollingInterval = 7;
    useNetworks({root.network, lower.network});
    const int before = control->timPolling()->interval();
    control->setNetworkIndex(2);
    EXPECT_EQ(control->timPolling()->interval(), before);
    control->Connected = true;
    control->setNetworkIndex(2);
    EXPECT_EQ(control->timPolling()->interval(), 7000);
}

// --- The space key -------------------------------------------------------------------------------

class SpaceKey : public ControlCore {
protected:
    SpaceKey()
    {
        useNetworks({build.network});
        QObject::connect(control.get(), &ctlPelnet::Click, [this](const std::shared_ptr<Node>& node) { clicked.push_back(node); });
    }
    NetworkBuilder build {{"A B", "C"}};
};

TEST_F(SpaceKey, OtherKeysAndNoSelectionChangeNothing)
{
    basGlobal::ApplicationMode = 1;
    build["A"]->setSelected(true);
    releaseKey(Qt::Key_Return);
    build["A"]->setSelected(false);
    pressSpace();
    EXPECT_TRUE(clicked.empty());
    EXPECT_TRUE(events->events.isEmpty());
}

TEST_F(SpaceKey, InViewingModeClicksTheLastSelectedNodeInLayerOrder)
{
    basGlobal::ApplicationMode = 1;
    build["C"]->setSelected(true);
    build["A"]->setSelected(true);
    pressSpace();
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked.front(), build["C"]);
    EXPECT_EQ(events->events, QStringList({"NodeMouseClick 0"}));
    EXPECT_EQ(events->nodes.front(), build["C"]);
    EXPECT_GE(ui->yields, 2);
}

TEST_F(SpaceKey, WhileEditingItOpensTheNodesPropertiesWithoutAClick)
{
    build["B"]->setSelected(true);
    pressSpace();
    EXPECT_EQ(control->NodeFound, build["B"]);
    EXPECT_TRUE(clicked.empty());
    EXPECT_TRUE(events->events.isEmpty());
}

TEST_F(SpaceKey, ReachesTheControlFromAFocusedNarratorButton)
{
    basGlobal::ApplicationMode = 1;
    control->UpdateButtons();
    build["B"]->setSelected(true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(control->cmdNarrater(2), &release);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked.front(), build["B"]);
}

// --- Redrawing and the background ----------------------------------------------------------------

TEST_F(ControlCore, RedrawWithoutBackgroundFillsTheCanvasWithTheBackColour)
{
    const qint32 saved = basGlobal::Settings.BackColour;
    basGlobal::Settings.BackColour = platform::colours::rgb(10, 20, 30);
    control->DrawNetwork();
    basGlobal::Settings.BackColour = saved;
    const QImage shown = control->picnetwork()->Image();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(10, 20, 30));
    EXPECT_EQ(shown.pixelColor(395, 295), QColor(10, 20, 30));
}

TEST_F(ControlCore, NamesMeasuredAheadAreMeasuredByNoDrawingAndEachChangedNameOnce)
{
    NetworkBuilder build({"A B", "C D"});
    build["A"]->Name()->setText(QStringLiteral("Alpha\rBeta"));
    build["D"]->setEnabled(false); // drawn without its name
    useNetworks({build.network});
    const platform::TextWidths& widths = control->picnetwork()->textWidths();
    {
        const auto names = control->measureNamesAhead();
        while (!names->done())
            QCoreApplication::processEvents();
    }
    EXPECT_EQ(widths.measuredLines(), 4) << "Alpha, Beta, B and C";
    control->DrawNetwork();
    control->DrawNetwork();
    EXPECT_EQ(widths.measuredLines(), 4) << "each name is laid out once by a drawing, to be drawn";

    build["B"]->Name()->setText(QStringLiteral("Bravo"));
    build["C"]->Name()->Font()->Bold = true;
    control->DrawNetwork();
    control->DrawNetwork();
    EXPECT_EQ(widths.measuredLines(), 6) << "a changed text or font is measured once";

    // The widths kept are the ones measured: the same picture as a control that keeps none yet.
    ctlPelnet fresh;
    fresh.resize(400, 300);
    fresh.show();
    showNetworks(fresh, {build.network});
    fresh.DrawNetwork();
    EXPECT_EQ(fresh.picnetwork()->Image(), control->picnetwork()->Image());
}

TEST_F(ControlCore, BackgroundPictureIsStretchedOverTheWholeCanvas)
{
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixelColor(0, 0, Qt::red);
    picture.setPixelColor(1, 0, Qt::green);
    picture.setPixelColor(0, 1, Qt::blue);
    picture.setPixelColor(1, 1, Qt::yellow);
    control->setBackground(picture);
    const QImage shown = control->picnetwork()->Image();
    EXPECT_EQ(shown.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(390, 10), QColor(Qt::green));
    EXPECT_EQ(shown.pixelColor(10, 290), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(390, 290), QColor(Qt::yellow));
}

// --- The changed flag and the order of the networks ---------------------------------------------

TEST_F(ControlCore, DirtyWhenAnyNetworkChanged)
{
    NetworkBuilder root({"A"}), lower({"B"});
    useNetworks({root.network, lower.network});
    root.network->setDirty(false);
    lower.network->setDirty(false);
    EXPECT_FALSE(control->Dirty());
    lower.network->AddNode(1);
    EXPECT_TRUE(control->Dirty());
}

TEST_F(ControlCore, ReorderNetworksListsLevelsBreadthFirstEachOnce)
{
    // root opens first and second; first opens third; second opens third too; stray is not reached.
    NetworkBuilder root({"R1 R2 R3"}), first({"F1 F2"}), second({"S1"}), third({"T1"}), stray({"X"});
    openLowerLevel(root["R1"], root.network, first.network, first["F1"]);
    openLowerLevel(root["R2"], root.network, second.network, second["S1"]);
    openLowerLevel(root["R3"], root.network, first.network, first["F1"]);
    openLowerLevel(first["F2"], first.network, third.network, third["T1"]);
    openLowerLevel(second["S1"], second.network, third.network, third["T1"]);
    useNetworks({root.network, stray.network, third.network, second.network, first.network});

    EXPECT_TRUE(control->ReorderNetworks());
    ASSERT_EQ(control->Networks.Count(), 4);
    EXPECT_EQ(control->Networks.Item(1), root.network);
    EXPECT_EQ(control->Networks.Item(2), first.network);
    EXPECT_EQ(control->Networks.Item(3), second.network);
    EXPECT_EQ(control->Networks.Item(4), third.network);
    EXPECT_EQ(first.network->Index, 2);
    EXPECT_EQ(second.network->Index, 3);
    EXPECT_EQ(third.network->Index, 4);
}

TEST_F(ControlCore, PrintingStretchesTheBackgroundOverThePageAndDrawsTheNetworkThere)
{
    platform::ScopedService<platform::Printer, platform::doubles::RecordingPrinter> printer;
    NetworkBuilder net({"A B", "C"});
    net.links("C>A");
    useNetworks({net.network});
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    control->setBackground(picture);
    const QImage screen = control->picnetwork()->Image();

    control->DrawNetwork(true);
    ASSERT_EQ(printer->pictures.size(), 1u);
    EXPECT_EQ(printer->pictures.front().twips, QRectF(0, 0, 12000, 16000));
    EXPECT_FALSE(printer->recordedPage.circles().empty());
    EXPECT_FALSE(printer->recordedPage.lines().empty());
    EXPECT_EQ(control->picnetwork()->Image(), screen); // the screen is left alone
    EXPECT_EQ(printer->endedJobs, 0);                   // the host ends the job
}

TEST_F(ControlCore, PictureBytesAreReadFromTheRootNetworksFiles)
{
    const QString file = QStringLiteral("splash.gif");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("GIF89a\x01\x02");
    out.close();
    control->Network()->Picture = file;
    control->LoadSplash();
    EXPECT_TRUE(control->SplashFile.startsWith(QStringLiteral("GIF89a\x01\x02")));

    control->Network()->Picture = QStringLiteral("missing.gif");
    control->LoadSplash();
    EXPECT_TRUE(control->SplashFile.startsWith(QStringLiteral("GIF89a"))); // kept

    control->Network()->Picture.clear();
    control->LoadSplash();
    EXPECT_TRUE(control->SplashFile.isEmpty());

    control->Network()->Background = file;
    control->LoadBackground();
    EXPECT_TRUE(control->BackgroundFile.startsWith(QStringLiteral("GIF89a")));
}
