// What a macro project that comes with a document may not do to the user: run away with the
// time or the memory, end the program under a dialog still being built, write over another
// file unasked, or lose the user's edits; and what the program's saves owe the project's file.

#include "tests/automation/AutomationTestSupport.h"

#include "automation/APCIntegration.h"
#include "automation/frmMacroEditor.h"
#include "consult/frmPreconditions.h"
#include "consult/frmQuestion.h"
#include "model/Layer.h"

#include <QElapsedTimer>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

using namespace kelvane;
using namespace std::chrono_literals;
namespace msgbox = platform::msgbox;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A text as a JavaScript string literal.
QString literal(const QString& text)
{
    return u'"' + QString(text).replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\"")) + u'"';
}

class RunawayMacros : public test::AutomationTest {
protected:
    std::shared_ptr<KnowledgeBase> withCode(const QString& code)
    {
        const auto knowledgeBase = startWith(network);
        knowledgeBase->Project()->addModule(QStringLiteral("Module1"), code);
        return knowledgeBase;
    }
    QString output(const std::shared_ptr<KnowledgeBase>& knowledgeBase) const
    {
        return knowledgeBase->Project()->output().join(u'\n');
    }
    std::shared_ptr<clsNetwork> network = test::twoNodeNetwork();
};

} // namespace



TEST_F(RunawayMacros, ARunawayAllocationIsStoppedAndTheDocumentAndTheProgramGoOn)
{
    host().macroHost().setTimeLimit(60s);
    host().macroHost().setMemoryLimit(qint64(64) * 1024 * 1024);
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        var hoard = [];
        function KnowledgeBase_Load(e) { for (;;) hoard.push(new Array(100000).fill(1.5)); }
        function KnowledgeBase_Unload(e) { e.Cancel = hoard.length == 0 && KnowledgeBase.KBName == "Two nodes"; }
    )"));

    QElapsedTimer clock;
    clock.start();
    bool cancel = false;
    host().FireLoad(cancel);
    EXPECT_LT(clock.elapsed(), 30000) << "stopped by its memory, long before its time";
    EXPECT_TRUE(output(knowledgeBase).contains(QStringLiteral("KnowledgeBase_Load was stopped: it used more than 64 MB")))
        << qPrintable(output(knowledgeBase));

    // The document is as it was, and the other handlers run in an engine that let the hoard go.
    EXPECT_EQ(knowledgeBase->KBName(), QStringLiteral("Two nodes"));
    EXPECT_EQ(network->Layers().Count(), 2);
    host().FireUnload(cancel);
    EXPECT_TRUE(cancel) << qPrintable(output(knowledgeBase));

    // The handler is not run again, and the user is told once.
    clock.restart();
    cancel = false;
    host().FireLoad(cancel);
    EXPECT_LT(clock.elapsed(), 1000);
    QCoreApplication::processEvents();
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("KnowledgeBase_Load")));
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("more than 64 MB")));
}

TEST_F(RunawayMacros, TheMemoryCapHoldsForWhatTheEngineKeepsAcrossHandlers)
{
    host().macroHost().setTimeLimit(60s);
    host().macroHost().setMemoryLimit(qint64(64) * 1024 * 1024);
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        var hoard = [];
        function KnowledgeBase_MouseMove(e) { hoard.push(new Uint8Array(40 << 20).fill(1)); }
    )"));
    // Each move keeps less than the cap; together they pass it.
    float x = 1;
    float y = 2;
    for (int i = 0; i < 6; ++i)
        knowledgeBase->FireNetworkMouseMove(x, y);
    EXPECT_TRUE(output(knowledgeBase).contains(QStringLiteral("KnowledgeBase_MouseMove was stopped: it used more than 64 MB")))
        << qPrintable(output(knowledgeBase));
    QCoreApplication::processEvents();
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("more than 64 MB")));
}

TEST_F(RunawayMacros, AHandlerTheWatchdogStoppedIsDetachedAndTheUserToldOnce)
{
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        function KnowledgeBase_MouseMove(e) { for (;;) {} }
        function KnowledgeBase_MouseClick(e) { e.Button = 7; }
    )"));
    float x = 1;
    float y = 2;
    QElapsedTimer clock;
    clock.start();
    knowledgeBase->FireNetworkMouseMove(x, y);
    EXPECT_GE(clock.elapsed(), 250) << "the first move runs until the watchdog stops it";

    // Every move after it passes at once.
    clock.restart();
    for (int i = 0; i < 5; ++i)
        knowledgeBase->FireNetworkMouseMove(x, y);
    EXPECT_LT(clock.elapsed(), 250);
    qint16 button = 1;
    knowledgeBase->FireNetworkMouseClick(button);
    EXPECT_EQ(button, 7) << "the project's other handlers still run";

    QCoreApplication::processEvents();
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("KnowledgeBase_MouseMove")));
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("ran longer than")));
}

namespace {

class MacrosInTheProgram : public test::ShellTest {
protected:
    QString sideFile() const { return sample().left(sample().size() - 4) + QStringLiteral(".vba"); }
    static QString scratch(const QString& name) { return test::scratchFolder() + u'/' + name; }
    QString projectText(const QString& file) const
    {
        const auto stored = projectstorage::readFile(file, false);
        return stored.modules.isEmpty() ? QString() : stored.modules.first().text;
    }

    const AutomationInstallation automation {1000ms};
};

// The scripted services, except that a yield lets the message loop run, as the program's does,
// and that the user may think a while before answering a message box.
class YieldingUi : public platform::UiServices {
public:
    explicit YieldingUi(platform::UiServices& scripted) : m_scripted(scripted) {}
    int messageBox(const QString& text, int style, const QString& title) override
    {
        QTest::qWait(int(thinking.count()));
        return m_scripted.messageBox(text, style, title);
    }
    std::chrono::milliseconds thinking {0};
    std::optional<QString> prompt(platform::PromptKind kind, const QString& title, const QString& label) override
    {
        return m_scripted.prompt(kind, title, label);
    }
    std::optional<qint32> chooseColour(qint32 colour) override { return m_scripted.chooseColour(colour); }
    bool spellingAvailable() override { return m_scripted.spellingAvailable(); }
    platform::SpellingResult checkSpelling(const QString& text) override { return m_scripted.checkSpelling(text); }
    void yield() override { QCoreApplication::processEvents(); }
    void setBusyPointer(bool busy) override { m_scripted.setBusyPointer(busy); }
    QString clipboardText() override { return m_scripted.clipboardText(); }
    void setClipboardText(const QString& text) override { m_scripted.setClipboardText(text); }
    QSize screenSizeTwips() override { return m_scripted.screenSizeTwips(); }
    double textWidthTwips(const platform::FontDescription& font, const QString& text) override
    {
        return m_scripted.textWidthTwips(font, text);
    }
    double textHeightTwips(const platform::FontDescription& font, const QString& text) override
    {
        return m_scripted.textHeightTwips(font, text);
    }

private:
    platform::UiServices& m_scripted;
};

// The program with yields that let the message loop run, and the automation layer over them.
class MacrosInTheRunningProgram : public test::ShellTest {
protected:
    platform::ScopedService<platform::UiServices, YieldingUi> yielding {ui.get()};
    const AutomationInstallation automation {1000ms};
};

// Notes, when the window is asked to close, whether a question dialog was still being built
// (made, but not shown yet).
class CloseWatch : public QObject {
public:
    explicit CloseWatch(QWidget& window) : m_window(window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            const auto questions = m_window.findChildren<frmQuestion*>();
            closedUnderABuild = closedUnderABuild
                || std::any_of(questions.begin(), questions.end(), [](const frmQuestion* q) { return !q->isVisible(); });
            closedWithAQuestion = closedWithAQuestion || !questions.isEmpty();
        }
        return false;
    }
    bool closedUnderABuild = false;
    bool closedWithAQuestion = false;

private:
    QWidget& m_window;
};

} // namespace

TEST_F(MacrosInTheRunningProgram, QuitFromABeforeQuestionHandlerWaitsForTheQuestionDialogToBeBuilt)
{
    const QString sideFile = sample().left(sample().size() - 4) + QStringLiteral(".vba");
    test::writeProject(sideFile, QStringLiteral("function KnowledgeBase_BeforeQuestion(e) { KnowledgeBase.Quit(); }"));
    frmNavigate& w = load(sample());
    ASSERT_FALSE(w.Unloaded());
    // The user clicks a window that is up: its maximised size has been laid out and drawn.
    QDeadlineTimer settling(5000);
    const auto laidOutMaximised = [&] {
        return w.isMaximized() && w.ctlPelnet1().picnetwork()->height() > w.screen()->availableGeometry().height() / 2;
    };
    while (!laidOutMaximised() && !settling.hasExpired())
        QTest::qWait(10);
    ASSERT_TRUE(laidOutMaximised());
    // The click is handled by the program's own event loop, as in the program.
    const CloseWatch closing(w);
    QEventLoop program;
    bool questionAsked = false;
    QTimer::singleShot(0, &w, [&] {
        test::clickNode(w, 1, 1);
        questionAsked = automation.host().current() && automation.host().current()->QuitRequested();
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &program, [&] {
        if (w.Unloaded())
            program.quit();
    });
    watch.start(20);
    QTimer::singleShot(10000, &program, &QEventLoop::quit);
    program.exec();
    EXPECT_TRUE(questionAsked) << "the click reached the question";
    EXPECT_TRUE(w.Unloaded()) << "the program ends once the click was handled";
    EXPECT_TRUE(closing.closedWithAQuestion);
    EXPECT_FALSE(closing.closedUnderABuild) << "the shutdown ran inside the question dialog's load";
}

TEST_F(MacrosInTheProgram, AConsultationStepsHandlerCannotReplaceTheDocumentTheStepWorksOn)
{
    test::writeProject(sideFile(), QStringLiteral(R"(
        function KnowledgeBase_BeforePrecondition(e) { KnowledgeBase.OpenFile(); }
        function KnowledgeBase_BeforeQuestion(e) { KnowledgeBase.OpenFile(); }
    )"));
    frmNavigate& w = load(sample());
    const auto network = w.ctlPelnet1().Network();

    // Evidence: its question is asked, in the document still open.
    test::clickNode(w, 1, 1);
    auto* question = test::shownDialog<frmQuestion>(w);
    ASSERT_TRUE(question);
    EXPECT_EQ(question->node, test::nodeAt(*network, 1, 1));
    EXPECT_EQ(w.ctlPelnet1().Network(), network);
    QTest::mouseClick(question->cmdCancel(), Qt::LeftButton);
    ASSERT_TRUE(w.isEnabled());

    // A conclusion with questions pending: its preconditions are listed.
    test::clickNode(w, 2, 1);
    auto* preconditions = test::shownDialog<frmPreconditions>(w);
    ASSERT_TRUE(preconditions);
    EXPECT_EQ(preconditions->node, test::nodeAt(*network, 2, 1));
    EXPECT_EQ(w.ctlPelnet1().Network(), network);
}

TEST_F(MacrosInTheProgram, AFileAMacroOpenedIsNotOneItMaySaveOverUnasked)
{
    const QString victim = scratch(QStringLiteral("victim.xml"));
    QFile::remove(victim);
    ASSERT_TRUE(QFile::copy(sample(), victim));
    QFile::setPermissions(victim, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray before = bytesOf(victim);
    test::writeProject(sideFile(), QStringLiteral(R"(
        function KnowledgeBase_Load(e) {
            KnowledgeBase.OpenFile(%1);
            KnowledgeBase.KBName = "pwned";
            KnowledgeBase.SaveFile();
        })").arg(literal(victim)));
    settingvalues::setIntroductionSuppressed(QStringLiteral("pwned"), true);

    ui->queueMessageBoxResult(msgbox::No);
    load(sample());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(victim)) << qPrintable(ui->messageBoxes.front().text);
    EXPECT_EQ(bytesOf(victim), before);

    ui->messageBoxes.clear();
    load(QStringLiteral("-Embedding \"%1\"").arg(sample()));
    EXPECT_TRUE(ui->messageBoxes.empty());
    EXPECT_EQ(bytesOf(victim), before);
}

TEST_F(MacrosInTheRunningProgram, TheTimeTheUserTakesToAnswerAMacrosQuestionIsNotTheMacros)
{
    automation.host().macroHost().setTimeLimit(500ms);
    const QString sideFile = sample().left(sample().size() - 4) + QStringLiteral(".vba");
    test::writeProject(sideFile, QStringLiteral(R"(
        function KnowledgeBase_Load(e) {
            KnowledgeBase.SaveFile(%1);
            KnowledgeBase.Author = "asked";
        })").arg(literal(test::scratchFolder() + QStringLiteral("/elsewhere.xml"))));
    yielding->thinking = 1500ms;
    ui->queueMessageBoxResult(msgbox::No);
    frmNavigate& w = load(sample());
    QCoreApplication::processEvents();
    ASSERT_EQ(ui->messageBoxes.size(), 1u) << "the question alone: no macro was stopped";
    EXPECT_EQ(w.ctlPelnet1().Network()->Author()->Text(), QStringLiteral("asked"));
}

TEST_F(MacrosInTheProgram, QuitFromALoadHandlerEndsTheProgramAfterTheLoad)
{
    test::writeProject(sideFile(), QStringLiteral("function KnowledgeBase_Load(e) { KnowledgeBase.Quit(); }"));
    frmNavigate& w = load(sample());
    EXPECT_EQ(w.lastLoadResult(), frmNavigate::LoadResult::Loaded);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.Unloaded(); }, 10000));
}

TEST_F(MacrosInTheProgram, AMacroMustHaveLeaveToSaveTheKnowledgeBaseOverAnotherFile)
{
    const QString victim = scratch(QStringLiteral("victim.txt"));
    QFile::remove(victim);
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the user's own words");
    }
    test::writeProject(sideFile(), QStringLiteral(R"(
        function KnowledgeBase_Load(e) {
            try { KnowledgeBase.FileName = %1; } catch (error) { }
            KnowledgeBase.SaveFile(%1);
        })").arg(literal(victim)));

    // Asked, naming the file; refused.
    ui->queueMessageBoxResult(msgbox::No);
    ui->queueMessageBoxResult(msgbox::No);
    frmNavigate& w = load(sample());
    ASSERT_EQ(ui->messageBoxes.size(), 2u);
    for (const auto& asked : ui->messageBoxes) {
        EXPECT_TRUE(asked.text.contains(victim)) << qPrintable(asked.text);
        EXPECT_EQ(msgbox::buttonsOf(asked.style), msgbox::YesNo);
    }
    EXPECT_EQ(bytesOf(victim), QByteArray("the user's own words"));
    EXPECT_EQ(w.ctlPelnet1().Network()->FileName(), sample());

    // With nobody to ask (the program hidden for an automation client): refused unasked.
    ui->messageBoxes.clear();
    frmNavigate& hidden = load(QStringLiteral("-Embedding \"%1\"").arg(sample()));
    EXPECT_TRUE(ui->messageBoxes.empty());
    EXPECT_EQ(bytesOf(victim), QByteArray("the user's own words"));
    EXPECT_EQ(hidden.ctlPelnet1().Network()->FileName(), sample());
}

TEST_F(MacrosInTheProgram, TheEditorsTextIsSavedWithTheDocumentAndAskedForAtExit)
{
    test::writeProject(sideFile(), QStringLiteral("var version = 1;"));
    frmNavigate& w = load(sample());
    QTest::keyClick(&w, Qt::Key_F11, Qt::AltModifier);
    frmMacroEditor* editor = automation.host().macroHost().editor();
    ASSERT_TRUE(editor && editor->isVisible());

    // The window's Save writes the text the editor shows.
    QPlainTextEdit* code = editor->txtCode();
    code->moveCursor(QTextCursor::End);
    QTest::keyClicks(code, QStringLiteral(" var saved = 2;"));
    ASSERT_TRUE(w.mnuFileSave_Click());
    EXPECT_EQ(projectText(sideFile()), QStringLiteral("var version = 1; var saved = 2;"));
    EXPECT_TRUE(ui->messageBoxes.empty());

    // Text typed after it: the close asks, and Cancel keeps everything open.
    QTest::keyClicks(code, QStringLiteral(" var typed = 3;"));
    ui->queueMessageBoxResult(msgbox::Cancel);
    w.close();
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes.back().text, QStringLiteral("Save changes to  Macros - Macros?"));
    EXPECT_EQ(ui->messageBoxes.back().style, msgbox::YesNoCancel | msgbox::Question);
    EXPECT_FALSE(w.Unloaded());
    EXPECT_EQ(code->toPlainText(), QStringLiteral("var version = 1; var saved = 2; var typed = 3;"));

    // Yes saves the text with the document, and the program ends.
    ui->queueMessageBoxResult(msgbox::Yes);
    w.close();
    EXPECT_TRUE(w.Unloaded());
    EXPECT_EQ(projectText(sideFile()), QStringLiteral("var version = 1; var saved = 2; var typed = 3;"));
    EXPECT_EQ(ui->messageBoxes.size(), 2u) << "the document, saved with it, is not asked about";
}

TEST_F(MacrosInTheProgram, AnXMLDocumentOfAnyNameKeepsItsMacrosBesideIt)
{
    const QString document = scratch(QStringLiteral("kb.kel"));
    const QString side = scratch(QStringLiteral("kb.vba"));
    QFile::remove(document);
    ASSERT_TRUE(QFile::copy(sample(), document));
    QFile::setPermissions(document, QFile::ReadOwner | QFile::WriteOwner);
    test::writeProject(side, QStringLiteral("var kept = true;"));

    frmNavigate& w = load(document);
    const auto knowledgeBase = automation.host().current();
    ASSERT_TRUE(knowledgeBase && knowledgeBase->Project());
    ASSERT_EQ(knowledgeBase->Project()->modules().size(), 1);
    ASSERT_TRUE(w.mnuFileSave_Click());
    EXPECT_EQ(projectText(side), QStringLiteral("var kept = true;"));
}

TEST_F(MacrosInTheProgram, AReadOnlyMacroFileIsNotSavedOver)
{
    test::writeProject(sideFile(), QStringLiteral("var locked = true;"));
    const QByteArray before = bytesOf(sideFile());
    QFile::setPermissions(sideFile(), QFile::ReadOwner);
    const auto unlock = qScopeGuard([&] { QFile::setPermissions(sideFile(), QFile::ReadOwner | QFile::WriteOwner); });

    frmNavigate& w = load(sample());
    EXPECT_FALSE(w.mnuFileSave_Click());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes.front().text, sideFile() + QStringLiteral(" is read only, unable to save file"));
    EXPECT_EQ(bytesOf(sideFile()), before);
    EXPECT_FALSE(QFileInfo(sideFile()).permissions() & QFile::WriteOwner);
}
