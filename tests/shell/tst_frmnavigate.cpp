// The main window driven as a user drives it: loading the sample, its menus and toolbar, the
// views, printing, help, the clock, and closing.

#include "tests/shell/ShellTestSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/AbstractKnowledgeBase.h"
#include "model/Layer.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"
#include "platform/Clock.h"
#include "platform/Colours.h"
#include "platform/QtColour.h"
#include "platform/doubles/FixedClock.h"
#include "consult/frmAnswer.h"
#include "consult/frmPreconditions.h"
#include "consult/frmQuestion.h"
#include "shell/HelpKey.h"
#include "shell/StatusBarControl.h"
#include "shell/ToolBands.h"
#include "shell/frmIntroduction.h"
#include "shell/frmOptions.h"
#include "shell/frmSplash1.h"
#include "shell/frmViewerSplash.h"
#include "platform/RegularFileReader.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/ShownText.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvane;
using platform::msgbox::Exclamation;

namespace {

// The captions of a menu's visible entries, "-" for a separator.
QStringList captionsOf(const QWidget* menu)
{
    QStringList captions;
    for (const QAction* entry : menu->actions()) {
        if (entry->isVisible())
            captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    }
    return captions;
}

frmViewerSplash* shownStartDialog()
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* start = qobject_cast<frmViewerSplash*>(top); start && start->isVisible())
            return start;
    }
    return nullptr;
}

// Counts the times a file is put in place whole (a new file renamed over it), from the events of
// its folder. Events of other kinds are watched too: the kernel merges an event into the one
// queued just before it when the two are alike.
class Replacements {
public:
    explicit Replacements(const QString& file)
        : m_name(QFile::encodeName(QFileInfo(file).fileName())), m_events(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_events, QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                            IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_CLOSE_WRITE | IN_MODIFY);
    }
    ~Replacements() { ::close(m_events); }
    Replacements(const Replacements&) = delete;
    Replacements& operator=(const Replacements&) = delete;

    // The replacements since the last call.
    int count()
    {
        int replacements = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t size; (size = ::read(m_events, buffer, sizeof buffer)) > 0;) {
            for (const char* at = buffer; at < buffer + size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                replacements += (event->mask & IN_MOVED_TO) && event->len > 0 && m_name == event->name;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return replacements;
    }

private:
    QByteArray m_name;
    int m_events;
};

class MainWindow : public test::ShellTest {
protected:
    QAction* tool(const QString& id) const { return window->SSActiveToolBars1().Tool(id); }
    QMenu* menu(const QString& id) const { return window->SSActiveToolBars1().Menu(id); }
    void click(const QString& id) const { tool(id)->trigger(); }
};

TEST_F(MainWindow, TheSampleLoadsWithItsCaptionMenusToolbarAndDiagram)
{
    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock(
        0, QDateTime(QDate(2024, 3, 1), QTime(14, 5, 17, 900)));
    frmNavigate& w = load(sample());

    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.isMaximized());
    EXPECT_EQ(w.Caption(), kSampleName);
    EXPECT_EQ(basGlobal::ApplicationMode, 1);
    EXPECT_EQ(basGlobal::MainWindowReady, 1);
    EXPECT_TRUE(w.DocumentReady);
    QStringList calls = host->calls;
    EXPECT_GT(calls.removeAll(QStringLiteral("PollMacroHost")), 0); // the clock runs from the start of the load
    EXPECT_EQ(calls, (QStringList {QStringLiteral("StartMacroHost"), QStringLiteral("CreateKnowledgeBase ") + sample(),
                                   QStringLiteral("FireLoad")}));
    ASSERT_TRUE(basGlobal::CurrentKnowledgeBase);
    EXPECT_TRUE(basGlobal::CurrentKnowledgeBase->AutoAnswer()); // the sample answers automatically
    EXPECT_FALSE(w.splash()->isVisible());
    EXPECT_TRUE(ui->messageBoxes.empty());

    EXPECT_EQ(captionsOf(w.menuBar()), (QStringList {QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help")}));
    EXPECT_EQ(captionsOf(menu(ToolBands::File)), QStringList({"&New", "&Open...", "-", "&Save", "Save &As...", "-",
                                                              "P&roperties...", "-", "&Print", "-", "E&xit"}));
    EXPECT_EQ(captionsOf(menu(ToolBands::View)), QStringList({"&Toolbar", "Status &Bar", "-", "&Overview", "&Complete",
                                                              "&Tree", "&Structure", "-", "&Options"}));
    EXPECT_EQ(captionsOf(menu(ToolBands::Help)),
              QStringList({"&Contents", "&Web Site...", "-", "&About Car will not start..."}));
    EXPECT_EQ(captionsOf(w.SSActiveToolBars1().ToolBar()), QStringList({"&New", "&Open...", "&Save", "&Print", "-"}));
    EXPECT_EQ(tool(QStringLiteral("&Open..."))->toolTip(), QStringLiteral("Open"));
    EXPECT_FALSE(tool(QStringLiteral("&Print"))->icon().isNull());

    // The diagram is drawn: its canvas holds far more than the plain background.
    const QImage picture = w.grab().toImage();
    picture.save(test::buildPath(QStringLiteral("tests/shell/frmNavigate.png")));
    const QImage diagram = w.ctlPelnet1().grab().toImage();
    const QRgb background = platform::toQColor(basGlobal::Settings.BackColour).rgb();
    int drawn = 0;
    for (int y = 0; y < diagram.height(); y += 2)
        for (int x = 0; x < diagram.width(); x += 2)
            drawn += diagram.pixel(x, y) != background;
    EXPECT_GT(drawn, 500);
    EXPECT_EQ(w.ctlPelnet1().Drawings(), 1) << "drawn once, at the size the window gives it";

    EXPECT_EQ(w.sbStatusBar()->Panel(3)->text(), StatusBarControl::timeText(QTime(14, 5, 17)));
    EXPECT_TRUE(w.Timer1()->isActive());
}

TEST_F(MainWindow, ThePlacementIsStoredAtShutdownAndRestoredAtTheNextLoad)
{
    frmNavigate& first = load(sample());
    first.showNormal();
    first.move(40, 60);
    first.resize(500, 400);
    QSignalSpy ended(&first, &frmNavigate::programEnded);
    Replacements settingsWritten(test::settingsFile());
    EXPECT_TRUE(first.close());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(settingsWritten.count(), 1) << "the placement and the other settings in one write";
    EXPECT_EQ(basGlobal::ApplicationMode, 0);
    EXPECT_EQ(host->calls.last(), QStringLiteral("FireUnload"));
    const auto stored = settingvalues::readPlacement();
    EXPECT_EQ(stored.Left, 600);
    EXPECT_EQ(stored.Width, 7500);
    EXPECT_EQ(settingvalues::readText(QStringLiteral("ShowAnswer")), QStringLiteral("True")); // settings saved

    frmNavigate& second = load(sample());
    EXPECT_EQ(second.normalGeometry().size(), QSize(500, 400));
    // Closing maximised keeps what is stored.
    EXPECT_TRUE(second.isMaximized());
    second.close();
    EXPECT_EQ(settingvalues::readPlacement().Width, 7500);
}

TEST_F(MainWindow, AStoredPlacementTooSmallOrOffEveryScreenGivesWayToTheDefault)
{
    const settingvalues::Placement defaults;
    const QSize defaultSize(qRound(defaults.Width / 15), qRound(defaults.Height / 15));
    const auto loadWithPlacement = [&](double left, double top, double width, double height) {
        settingvalues::writePlacement({left, top, width, height});
        return load(sample()).normalGeometry();
    };
    EXPECT_EQ(loadWithPlacement(500, 500, -99999, 4800).size(), defaultSize);
    EXPECT_EQ(loadWithPlacement(500, 500, 6400, 30).size(), defaultSize);
    EXPECT_EQ(loadWithPlacement(9.0e7, 9.0e7, 6400, 4800).topLeft(), QPoint(qRound(defaults.Left / 15), qRound(defaults.Top / 15)));
    // One that a screen shows, even in part, is kept.
    EXPECT_EQ(loadWithPlacement(-1500, 600, 7500, 6000), QRect(-100, 40, 500, 400));
}

TEST_F(MainWindow, TheKnowledgeBaseOrTheChangedDocumentQuestionMayKeepTheWindowOpen)
{
    frmNavigate& w = load(sample());
    host->cancelUnload = true;
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(ui->messageBoxes.empty());
    host->cancelUnload = false;

    w.ctlPelnet1().Network()->setDirty(true);
    ui->queueMessageBoxResult(platform::msgbox::Cancel);
    EXPECT_FALSE(w.close());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Scenario has changed. Do you wish to save the changes?"));
    EXPECT_EQ(ui->messageBoxes[0].style, 35);

    // Yes, but the save cannot write the file: the window stays, with its changes.
    QFile::setPermissions(sample(), QFile::ReadOwner);
    ui->queueMessageBoxResult(platform::msgbox::Yes);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.ctlPelnet1().Dirty());
    EXPECT_EQ(basGlobal::ApplicationMode, 1);

    QFile::setPermissions(sample(), QFile::ReadOwner | QFile::WriteOwner);
    ui->queueMessageBoxResult(platform::msgbox::No);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(w.Unloaded());
}

TEST_F(MainWindow, ABadSettingsFileStillLoadsWithTheDefaults)
{
    QFile file(test::settingsFile());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("[Settings]\nMainWidth=wide\nMainHeight=\nLinkMode=x\nAutoAnswer=sometimes\n\x01\x02garbage[[\n");
    file.close();

    frmNavigate& w = load(sample());
    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    EXPECT_EQ(w.normalGeometry().size(), QSize(qRound(6400 / 15.0), qRound(4800 / 15.0)));
    EXPECT_EQ(basGlobal::LinkMode, 1);

    // A settings file that is a named pipe, or larger than any file is read for, is neither
    // waited on nor read: the user is told, the window comes up with the defaults, and closing it
    // leaves the file as it is.
    for (const bool pipeNotFile : {true, false}) {
        QFile::remove(test::settingsFile());
        std::optional<test::PipeWithoutWriter> pipe;
        if (pipeNotFile) {
            pipe.emplace(test::settingsFile());
        } else {
            QFile huge(test::settingsFile());
            ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(platform::kMaxFileBytes + 1)); // sparse
        }
        ui->messageBoxes.clear();
        {
            test::WhenModalShows closeIntroduction([](QWidget& introduction) { introduction.close(); });
            EXPECT_EQ(load(sample()).lastLoadResult(), frmNavigate::LoadResult::Loaded);
        }
        ASSERT_FALSE(ui->messageBoxes.empty());
        EXPECT_TRUE(ui->messageBoxes[0].text.startsWith(test::settingsFile() + QStringLiteral(" cannot be read")))
            << ui->messageBoxes[0].text.toStdString();
        EXPECT_EQ(basGlobal::LinkMode, 1);
        EXPECT_TRUE(window->close());
        EXPECT_EQ(ui->messageBoxes.back().text, QStringLiteral("The settings could not be saved."));
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(test::settingsFile()).constData(), &status), 0);
        EXPECT_TRUE(pipe ? S_ISFIFO(status.st_mode) : status.st_size == platform::kMaxFileBytes + 1);
        EXPECT_FALSE(pipe && pipe->readerWasStuck());
    }
    QFile::remove(test::settingsFile());
}

TEST_F(MainWindow, AMissingFileIsReportedAndTheWindowComesUpWithoutADocument)
{
    const QString missing = test::scratchFolder() + QStringLiteral("/gone.qkb");
    frmNavigate& w = load(missing);
    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Failed);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, missing + QStringLiteral(" could not be opened."));
    EXPECT_EQ(ui->messageBoxes[0].style, Exclamation);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.Unloaded());
    EXPECT_EQ(w.Caption(), QStringLiteral("Kelvane"));
    EXPECT_EQ(w.ctlPelnet1().Networks.Count(), 1);
    EXPECT_TRUE(w.ctlPelnet1().Network()->Layers().isEmpty());
    EXPECT_FALSE(host->calls.contains(QStringLiteral("FireLoad")));
    EXPECT_EQ(captionsOf(w.menuBar()).size(), 3);
    click(QStringLiteral("&Tree"));
    EXPECT_EQ(w.Caption(), QStringLiteral("Kelvane - Tree View"));
    click(QStringLiteral("&Structure"));
    EXPECT_EQ(w.Caption(), QStringLiteral("Kelvane"));

    // A read-only file is refused with one message that says so.
    QFile::setPermissions(sample(), QFile::ReadOwner);
    ui->messageBoxes.clear();
    EXPECT_EQ(load(sample()).lastLoadResult(), frmNavigate::LoadResult::Failed);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, sample() + QStringLiteral(" is read only"));
    QFile::setPermissions(sample(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(MainWindow, AnAutomationStartStaysHiddenAndOpensOnlyANamedFile)
{
    frmNavigate& bare = load(QStringLiteral("-Embedding"));
    EXPECT_TRUE(basGlobal::AutomationMode);
    EXPECT_FALSE(bare.isVisible());
    EXPECT_FALSE(bare.Unloaded());
    EXPECT_TRUE(ui->messageBoxes.empty());
    EXPECT_TRUE(dialogs->calls.empty()); // no start dialog either

    settingvalues::setIntroductionSuppressed(kSampleName, false);
    frmNavigate& named = load(QStringLiteral("-EMBEDDING ") + sample());
    EXPECT_EQ(named.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    EXPECT_FALSE(named.isVisible());
    EXPECT_EQ(named.ctlPelnet1().Network()->Name()->Text(), kSampleName);
    EXPECT_NE(named.Caption(), kSampleName); // no caption, no introduction in automation mode
    EXPECT_EQ(basGlobal::MainWindowReady, 1);
}

TEST_F(MainWindow, TheStartDialogChoosesTheFileOrEndsTheProgram)
{
    dialogs->queueAnswer(sample());
    QTimer::singleShot(50, [] {
        frmViewerSplash* start = shownStartDialog();
        ASSERT_NE(start, nullptr);
        EXPECT_FALSE(start->cmdOnLine()->isEnabled()); // no server client
        start->cmdOffline()->click();
    });
    frmNavigate& chosen = load({});
    EXPECT_EQ(chosen.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls[0].request.title, QStringLiteral("Select Knowledge Base"));
    EXPECT_EQ(basGlobal::DocumentPath, sample());
    EXPECT_EQ(chosen.Caption(), kSampleName);
    EXPECT_EQ(chosen.findChildren<frmViewerSplash*>().size(), 0);

    QTimer::singleShot(50, [] {
        frmViewerSplash* start = shownStartDialog();
        ASSERT_NE(start, nullptr);
        start->close();
    });
    window.reset();
    basGlobal::LoadSettings({});
    window = std::make_unique<frmNavigate>();
    QSignalSpy ended(window.get(), &frmNavigate::programEnded);
    window->Show({});
    EXPECT_EQ(window->lastLoadResult(), frmNavigate::LoadResult::Unloaded);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(basGlobal::ApplicationMode, 0);
}

TEST_F(MainWindow, ViewsSwitchPanesAndCaptionsAndTheTogglesHideTheirBands)
{
    frmNavigate& w = load(sample());
    click(QStringLiteral("&Tree"));
    EXPECT_EQ(w.Caption(), kSampleName + QStringLiteral(" - Tree View"));
    EXPECT_TRUE(w.picReport()->isVisible());
    EXPECT_FALSE(w.ctlPelnet1().isVisible());

    click(QStringLiteral("&Overview"));
    EXPECT_EQ(w.Caption(), kSampleName + QStringLiteral(" - Overview"));
    EXPECT_FALSE(w.picReport()->isVisible());
    EXPECT_TRUE(w.ctlPelnet1().isVisible());

    click(QStringLiteral("&Complete"));
    EXPECT_EQ(w.Caption(), kSampleName + QStringLiteral(" - Complete View"));
    click(QStringLiteral("&Tree"));
    click(QStringLiteral("&Structure"));
    EXPECT_TRUE(w.ctlPelnet1().isVisible());
    EXPECT_FALSE(w.VScroll1()->isVisible());
    EXPECT_EQ(w.Caption(), kSampleName + QStringLiteral(" - Complete View")); // the diagram's caption again
    click(QStringLiteral("&Structure"));
    EXPECT_EQ(w.Caption(), kSampleName + QStringLiteral(" - Complete View"));

    const int paneHeight = w.ctlPelnet1().height();
    click(QStringLiteral("Status &Bar"));
    EXPECT_FALSE(w.Picture1()->isVisible());
    EXPECT_FALSE(tool(QStringLiteral("Status &Bar"))->isChecked());
    EXPECT_EQ(w.ctlPelnet1().height(), paneHeight + w.Picture1()->height());
    click(QStringLiteral("&Toolbar"));
    EXPECT_FALSE(w.SSActiveToolBars1().ToolBar()->isVisible());
    EXPECT_FALSE(tool(QStringLiteral("&Toolbar"))->isChecked());
    click(QStringLiteral("&Toolbar"));
    EXPECT_TRUE(w.SSActiveToolBars1().ToolBar()->isVisible());

    w.mnuViewLinkImpacts_Click();
    w.mnuView_Click();
    EXPECT_FALSE(w.mnuViewLinkImpactsChecked);
    w.mnuViewLinkImpacts_Click();
    EXPECT_EQ(basGlobal::LinkMode, 1);
}

TEST_F(MainWindow, PrintingTheDiagramPrintsInLandscapeAndLeavesThePrinterAsItWas)
{
    load(sample());
    printer->printerDialogAccepts = false;
    click(QStringLiteral("&Print"));
    EXPECT_EQ(printer->printerDialogs, 1);
    EXPECT_EQ(printer->endedJobs, 0);

    printer->printerDialogAccepts = true;
    click(QStringLiteral("&Print"));
    EXPECT_EQ(printer->jobOrientations, std::vector<int> {platform::Printer::kLandscape});
    EXPECT_EQ(printer->orientation, platform::Printer::kPortrait);
    EXPECT_FALSE(printer->recordedPage.primitives().empty());
}

TEST_F(MainWindow, HelpOpensTheHelpPagesOrSaysThereAreNone)
{
    frmNavigate& bare = load(sample());
    click(QStringLiteral("&Contents"));
    bare.SSActiveToolBars1_ToolClick(QStringLiteral("&Search for help on..."));
    ASSERT_EQ(ui->messageBoxes.size(), 2u);
    EXPECT_EQ(ui->messageBoxes[1].text,
              QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."));
    EXPECT_EQ(ui->messageBoxes[1].style, platform::msgbox::Information);
    EXPECT_EQ(ui->messageBoxes[1].title, kSampleName);

    QDir(system->program).mkpath(QStringLiteral("help"));
    for (const char* page : {"help/index.html", "help/topics.html"}) {
        QFile file(QDir(system->program).filePath(QString::fromLatin1(page)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    registry->set(platform::HKEY_CLASSES_ROOT, QStringLiteral(".html"), {}, QStringLiteral("htmlfile"));
    registry->set(platform::HKEY_CLASSES_ROOT, QStringLiteral("htmlfile\\shell\\open\\command"), {},
                  QStringLiteral("opener \"%1\""));
    registry->set(platform::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command"), {},
                  QStringLiteral("browser \"%1\""));
    load(sample());
    click(QStringLiteral("&Contents"));
    window->SSActiveToolBars1_ToolClick(QStringLiteral("&Search for help on..."));
    click(QStringLiteral("&Web Site..."));
    ASSERT_EQ(launcher->launches.size(), 3u);
    EXPECT_TRUE(launcher->launches[0].arguments.last().endsWith(QStringLiteral("help/index.html")));
    EXPECT_TRUE(launcher->launches[1].arguments.last().endsWith(QStringLiteral("help/topics.html")));
    EXPECT_EQ(launcher->launches[2].program, QStringLiteral("browser"));
    EXPECT_EQ(launcher->launches[2].arguments.last(), QStringLiteral("https://kelvane.example/support"));

    // Without the program that opens the pages, each way to the help says which page it could
    // not open, as More Info does.
    launcher->missingPrograms << QStringLiteral("opener");
    ui->messageBoxes.clear();
    click(QStringLiteral("&Contents"));
    window->SSActiveToolBars1_ToolClick(QStringLiteral("&Search for help on..."));
    QTest::keyClick(&window->ctlPelnet1(), Qt::Key_F1);
    const QString help = QDir(system->program).filePath(QStringLiteral("help/"));
    ASSERT_EQ(ui->messageBoxes.size(), 3u);
    EXPECT_EQ(ui->messageBoxes[0].text, help + QStringLiteral("index.html could not be opened."));
    EXPECT_EQ(ui->messageBoxes[1].text, help + QStringLiteral("topics.html could not be opened."));
    EXPECT_EQ(ui->messageBoxes[2].text, help + QStringLiteral("index.html could not be opened."));
    EXPECT_EQ(ui->messageBoxes[2].style, Exclamation);
}

// F1 opens the help page of the window or dialog it is pressed in, by its help context
// number; a place without a number or without a page opens the contents.
TEST_F(MainWindow, F1OpensTheHelpPageOfTheWindowOrDialogItIsPressedIn)
{
    QDir(system->program).mkpath(QStringLiteral("help"));
    for (const char* page : {"help/index.html", "help/402.html", "help/536.html", "help/21.html"}) {
        QFile file(QDir(system->program).filePath(QString::fromLatin1(page)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    registry->set(platform::HKEY_CLASSES_ROOT, QStringLiteral(".html"), {}, QStringLiteral("htmlfile"));
    registry->set(platform::HKEY_CLASSES_ROOT, QStringLiteral("htmlfile\\shell\\open\\command"), {},
                  QStringLiteral("opener \"%1\""));
    frmNavigate& w = load(sample());
    const auto lastPage = [&] {
        return launcher->launches.empty() ? QString() : QFileInfo(launcher->launches.back().arguments.last()).fileName();
    };

    QTest::keyClick(&w.ctlPelnet1(), Qt::Key_F1);
    EXPECT_EQ(lastPage(), QStringLiteral("402.html"));

    {
        test::WhenModalShows pressF1([](QWidget& options) {
            QTest::keyClick(&options, Qt::Key_F1);
            options.close();
        });
        click(QStringLiteral("&Options"));
    }
    EXPECT_EQ(lastPage(), QStringLiteral("536.html"));
    {
        test::WhenModalShows pressHelp([](QWidget& options) {
            options.findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click();
            options.close();
        });
        click(QStringLiteral("&Options"));
    }
    EXPECT_EQ(launcher->launches.size(), 3u);
    EXPECT_EQ(lastPage(), QStringLiteral("536.html"));

    // The question dialog of a consultation, with its page and without it.
    const auto lights = w.ctlPelnet1().Network()->Layers().Item(1)->Nodes().Item(1);
    w.ctlPelnet1_Click(lights);
    QWidget* question = w.findChild<QWidget*>(QStringLiteral("frmQuestion"));
    ASSERT_NE(question, nullptr);
    QTest::keyClick(question->findChild<QWidget*>(QStringLiteral("cmdOK")), Qt::Key_F1);
    EXPECT_EQ(lastPage(), QStringLiteral("21.html"));
    QFile::remove(QDir(system->program).filePath(QStringLiteral("help/21.html")));
    QTest::keyClick(question, Qt::Key_F1);
    EXPECT_EQ(lastPage(), QStringLiteral("index.html"));

    // The about box has no help of its own.
    {
        test::WhenModalShows pressF1([](QWidget& about) {
            QTest::keyClick(&about, Qt::Key_F1);
            about.close();
        });
        w.mnuHelpAbout_Click();
    }
    EXPECT_EQ(lastPage(), QStringLiteral("index.html"));
    EXPECT_EQ(launcher->launches.size(), 6u);
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST_F(MainWindow, EveryHelpContextOfTheProgramHasItsPageInTheHelpFolder)
{
    frmNavigate& w = load(sample());
    frmOptions options(&w.ctlPelnet1(), &w);
    frmPreconditions preconditions(&w);
    frmQuestion question(&w);
    frmAnswer answer(&w);
    const QDir help(QStringLiteral(KELVANE_SOURCE_DIR "/app/data/help"));
    for (const QWidget* place : std::initializer_list<const QWidget*> {&w, &options, &preconditions, &question, &answer}) {
        const int context = HelpKey::ContextOf(*place);
        EXPECT_GT(context, 0) << place->objectName().toStdString();
        EXPECT_TRUE(help.exists(QString::number(context) + QStringLiteral(".html"))) << context;
    }
}

TEST_F(MainWindow, MacroMenuItemsFillTheToolsMenuInItsPlaceAndRaiseTheirEvents)
{
    host->menuItems = {QStringLiteral("Check battery"), QStringLiteral("&Tree"), QStringLiteral("Check battery")};
    frmNavigate& w = load(sample());
    EXPECT_EQ(captionsOf(w.menuBar()),
              (QStringList {QStringLiteral("&File"), QStringLiteral("&Tools"), QStringLiteral("&View"), QStringLiteral("&Help")}));
    EXPECT_EQ(captionsOf(menu(ToolBands::Tools)), (QStringList {QStringLiteral("Check battery"), QStringLiteral("&Tree")}));
    EXPECT_TRUE(w.HasCustomMenus);

    click(QStringLiteral("Check battery"));
    EXPECT_EQ(host->menuClicks.size(), 2); // once for each item of that name
    menu(ToolBands::Tools)->actions().at(1)->trigger();
    EXPECT_TRUE(w.Caption().endsWith(QStringLiteral(" - Tree View"))); // the item also runs the command

    host->menuItems.clear();
    w.PopulateToolsMenu();
    EXPECT_EQ(captionsOf(w.menuBar()), (QStringList {QStringLiteral("&File"), QStringLiteral("&View"), QStringLiteral("&Help")}));
    EXPECT_FALSE(w.HasCustomMenus);
    EXPECT_TRUE(captionsOf(menu(ToolBands::View)).contains(QStringLiteral("&Tree")));
}

TEST_F(MainWindow, TheRecentlyUsedEntriesFollowTheListAndAScenarioOpenedMovesToTheTop)
{
    frmNavigate& w = load(sample());
    EXPECT_EQ(captionsOf(menu(ToolBands::File)).filter(QStringLiteral("&1")).size(), 0);
    EXPECT_EQ(captionsOf(menu(ToolBands::File)).count(QStringLiteral("-")), 4); // no separator above no entries

    basGlobal::RecentFiles = {QStringLiteral("/kb/a.qks"), QStringLiteral("/kb/b.qks"), QStringLiteral("/kb/c.qks"),
                              QStringLiteral("/kb/d.qks")};
    w.UpdateMRU(QStringLiteral("/kb/c.qks"));
    EXPECT_EQ(basGlobal::RecentFiles, (std::array<QString, 4> {QStringLiteral("/kb/c.qks"), QStringLiteral("/kb/a.qks"),
                                                               QStringLiteral("/kb/b.qks"), QStringLiteral("/kb/d.qks")}));
    w.UpdateMRU(QStringLiteral("/kb/e.qks"));
    EXPECT_EQ(basGlobal::RecentFiles[0], QStringLiteral("/kb/e.qks"));
    EXPECT_EQ(basGlobal::RecentFiles[3], QStringLiteral("/kb/b.qks"));
    const QStringList file = captionsOf(menu(ToolBands::File));
    EXPECT_EQ(file.count(QStringLiteral("-")), 5);
    EXPECT_TRUE(file.at(file.indexOf(QStringLiteral("&Print")) + 2).startsWith(QStringLiteral("&1 ")));
    EXPECT_TRUE(file.at(file.indexOf(QStringLiteral("&Print")) + 2).endsWith(QStringLiteral("e.qks")));
}

// A menu reads "&" as a mnemonic mark; names of files and knowledge bases show theirs.
TEST_F(MainWindow, AmpersandsInPathsAndKnowledgeBaseNamesShowInTheMenusAsTheyAre)
{
    QFile file(sample());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray xml = file.readAll();
    file.close();
    xml.replace("<string>Car will not start</string>", "<string>R&amp;D cars</string>");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(xml);
    file.close();
    settingvalues::setIntroductionSuppressed(QStringLiteral("R&D cars"), true);

    frmNavigate& w = load(sample());
    QAction* about = menu(ToolBands::Help)->actions().last();
    EXPECT_EQ(about->iconText(), QStringLiteral("About R&D cars")); // shown without mnemonics or "..."

    const QString scenario = test::scratchFolder() + QStringLiteral("/R&D/a&b.qks");
    w.UpdateMRU(scenario);
    QAction* recent = tool(QStringLiteral("MRU1"));
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->iconText().endsWith(QStringLiteral("R&D/a&b.qks"))) << recent->iconText().toStdString();
    EXPECT_TRUE(recent->iconText().startsWith(QStringLiteral("1 ")));

    // The entry still opens its own file: here one that is gone, which the user is told.
    recent->trigger();
    ASSERT_FALSE(ui->messageBoxes.empty());
    EXPECT_EQ(ui->messageBoxes.back().text, scenario + QStringLiteral(" does not exist"));
}

TEST_F(MainWindow, TheIntroductionShowsUntilTheUserTurnsItOffAndNotAfterACancelledLoad)
{
    settingvalues::setIntroductionSuppressed(kSampleName, false);
    {
        test::WhenModalShows closeIt([](QWidget& modal) {
            auto* introduction = dynamic_cast<frmIntroduction*>(&modal);
            ASSERT_NE(introduction, nullptr);
            EXPECT_EQ(introduction->windowTitle(), QStringLiteral("About Car will not start"));
            introduction->Check1()->setChecked(true);
            introduction->close();
        });
        load(sample());
    }
    EXPECT_TRUE(settingvalues::introductionSuppressed(kSampleName));
    load(sample()); // would wait on the introduction if it showed

    settingvalues::setIntroductionSuppressed(kSampleName, false);
    host->cancelLoad = true;
    load(sample());
    EXPECT_EQ(window->lastLoadResult(), frmNavigate::LoadResult::Loaded);
    EXPECT_TRUE(window->isVisible());
}

// A knowledge base's texts hold no markup of the toolkit's: what looks like a tag (a deep nest of
// them included), an entity or the caption's changed mark is shown as written.
TEST_F(MainWindow, TheKnowledgeBasesTextsShowAsTheyAreWrittenFromSplashToIntroduction)
{
    const QString name = QStringLiteral("Quoted <font> & more [*]");
    const QString author = QStringLiteral("<i>Ann</i>");
    const QString description =
        QStringLiteral("<b>Why</b> ") + QStringLiteral("<a>").repeated(3000) + QStringLiteral("</a>").repeated(3000);
    // Each text as the document stores it: the label's own markup, escaped for XML.
    const auto stored = [](QString markup) {
        markup.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
        return QStringLiteral("<string>") + markup.replace(u'>', QStringLiteral("&gt;")) + QStringLiteral("</string>");
    };
    QFile file(sample());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString document = QString::fromUtf8(file.readAll());
    file.close();
    document.replace(QStringLiteral("<string>Car will not start</string>"),
                     stored(QStringLiteral("Quoted &lt;font&gt; & more [*]")));
    document.replace(QStringLiteral("<string>Kelvane examples</string>"), stored(author));
    document.replace(QRegularExpression(QStringLiteral("<string>Why does the car not start\\?[^<]*</string>")),
                     stored(description));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(document.toUtf8());
    file.close();

    settingvalues::setIntroductionSuppressed(name, false);
    {
        test::WhenModalShows check([&](QWidget& modal) {
            auto* introduction = dynamic_cast<frmIntroduction*>(&modal);
            ASSERT_NE(introduction, nullptr);
            EXPECT_EQ(test::shownText(*introduction->lblTitle()), name);
            EXPECT_EQ(test::shownText(*introduction->lblVersion()), QStringLiteral("Author: ") + author);
            EXPECT_EQ(test::shownText(*introduction->lblKBDescription()), description);
            EXPECT_EQ(introduction->windowHandle()->title(), QStringLiteral("About ") + name);
            introduction->close();
        });
        load(sample());
    }
    EXPECT_EQ(window->windowHandle()->title(), name);
    EXPECT_EQ(window->Caption(), name);
    ASSERT_NE(window->splash(), nullptr);
    EXPECT_EQ(test::shownText(*window->splash()->txtProductName()), name);
    EXPECT_EQ(test::shownText(*window->splash()->lblAuthor()), QStringLiteral("Author: ") + author);
    window->sbStatusBar()->Panel(1)->setText(author); // as a macro's status line sets it
    EXPECT_EQ(test::shownText(*window->sbStatusBar()->Panel(1)), author);
}

// The desktop's own message loop: a yield handles whatever is pending, as the program's does.
// What arrives meanwhile (the next size of a drag) is delivered by `arriving`.
class LoopingUiServices : public platform::doubles::ScriptedUiServices {
public:
    std::function<void()> arriving;
    void yield() override
    {
        ScriptedUiServices::yield();
        if (arriving)
            arriving();
        QCoreApplication::processEvents();
    }
};

// The window's border dragged: a stream of sizes, each delivered while the last is laid out.
TEST_F(MainWindow, DraggingTheBorderLaysOutEverySizeWithoutYieldingInside)
{
    platform::ScopedService<platform::UiServices, LoopingUiServices> looping;
    frmNavigate& w = load(sample());
    w.showNormal();
    QCoreApplication::processEvents();
    const int yieldsBefore = looping->yields;
    int step = 0;
    const auto nextSize = [&] {
        ++step;
        return QSize(300 + (step * 37) % 500, 250 + (step * 53) % 400);
    };
    looping->arriving = [&] {
        if (step < 60)
            w.resize(nextSize());
    };
    while (step < 60)
        w.resize(nextSize());
    looping->arriving = nullptr;
    QCoreApplication::processEvents();
    EXPECT_EQ(looping->yields, yieldsBefore);
    // The panes follow the last size.
    EXPECT_EQ(w.ctlPelnet1().width(), w.centralWidget()->width());
    EXPECT_EQ(w.ctlPelnet1().height() + w.Picture1()->height(), w.centralWidget()->height());
    EXPECT_EQ(w.Picture1()->y() + w.Picture1()->height(), w.centralWidget()->height());
}

} // namespace
