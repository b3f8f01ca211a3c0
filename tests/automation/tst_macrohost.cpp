// The macro project of a knowledge base: handlers found by name with the event's arguments,
// the object model reached from JavaScript, failures and runaway handlers contained, and the
// project at work in the main window.

#include "tests/automation/AutomationTestSupport.h"

#include "automation/APCIntegration.h"
#include "automation/frmMacroEditor.h"
#include "platform/automation/EventConnection.h"
#include "consult/AbstractConsultationEvents.h"
#include "shell/StatusBarControl.h"
#include "shell/ToolBands.h"
#include "shell/frmSplash1.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

using namespace kelvane;
using namespace std::chrono_literals;

namespace {

class MacroHandlers : public test::AutomationTest {
protected:
    std::shared_ptr<KnowledgeBase> withCode(const QString& code)
    {
        const auto knowledgeBase = startWith(network);
        knowledgeBase->Project()->addModule(QStringLiteral("Module1"), code);
        return knowledgeBase;
    }
    std::shared_ptr<clsNetwork> network = test::twoNodeNetwork();
};

} // namespace

TEST_F(MacroHandlers, ACancelledQuestionMarksTheNetworkChangedAndACancelledAnswerDoesNot)
{
    withCode(QStringLiteral(R"(
        function KnowledgeBase_BeforeQuestion(e) { if (e.Node1.Name.Text == "E") e.Cancel = true; }
        function KnowledgeBase_BeforeAnswer(e) { e.Cancel = e.Node1.Links.Count > 0; }
    )"));
    const auto evidence = test::nodeAt(*network, 1, 1);
    const auto conclusion = test::nodeAt(*network, 2, 1);

    bool cancel = false;
    consultationEvents().FireNodeAnswer(conclusion, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(network->Dirty());
    cancel = false;
    consultationEvents().FireNodeQuestion(conclusion, cancel);
    EXPECT_FALSE(cancel);
    consultationEvents().FireNodeQuestion(evidence, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_TRUE(network->Dirty());
}

TEST_F(MacroHandlers, ScriptErrorsAndEndlessLoopsAreContained)
{
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        function KnowledgeBase_BeforePrecondition(e) { e.Cancel = true; throw new Error("broken"); }
        function KnowledgeBase_AfterPrecondition(e) { e.Cancel = 1; for (;;) {} }
        function KnowledgeBase_Unload(e) {
            let nodes = 0;
            for (const layer of KnowledgeBase.Layers) nodes += layer.Nodes.Count;
            e.Cancel = nodes == 2 && Application.Name.length > 0;
        }
    )"));
    knowledgeBase->Project()->addModule(QStringLiteral("Broken"), QStringLiteral("var = ;"));
    const auto node = test::nodeAt(*network, 1, 1);

    bool cancel = false;
    consultationEvents().FireNodePrecondition(node, cancel);
    EXPECT_FALSE(cancel) << "a failed handler leaves the arguments as they were";

    QElapsedTimer clock;
    clock.start();
    qint16 flag = 0;
    consultationEvents().FireNodeAfterPrecondition(node, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_LT(clock.elapsed(), 3000) << "the watchdog stops the loop";

    // The program and the other handlers go on.
    host().FireUnload(cancel);
    EXPECT_TRUE(cancel);

    const QString output = knowledgeBase->Project()->output().join(u'\n');
    EXPECT_TRUE(output.contains(QStringLiteral("Module Broken"))) << qPrintable(output);
    EXPECT_TRUE(output.contains(QStringLiteral("broken"))) << qPrintable(output);
    EXPECT_TRUE(output.contains(QStringLiteral("KnowledgeBase_AfterPrecondition was stopped"))) << qPrintable(output);
}

TEST_F(MacroHandlers, FailingMembersThrowScriptErrorsAndALoadHandlerMayOpenItsDocumentAgain)
{
    network->setFileName(test::scratchFolder() + QStringLiteral("/reopened.xml"));
    // Opening a document may take a while on a busy machine: this handler is no runaway.
    host().macroHost().setTimeLimit(5s);
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        function KnowledgeBase_Load(e) {
            try { KnowledgeBase.Pages.Item("no such page"); } catch (error) { e.Cancel = String(error).includes("error 5"); }
            KnowledgeBase.OpenFile();
        }
    )"));
    ASSERT_TRUE(knowledgeBase->SaveProj({}, nullptr));
    const auto running = knowledgeBase->Project();
    const auto loads = std::make_shared<int>(0);
    const auto counting = knowledgeBase->dispatch().advise(std::make_shared<test::EventCounter>(QStringLiteral("Load"), loads));

    bool cancel = false;
    host().FireLoad(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(*loads, 1) << "an open inside a Load starts no other Load";
    // The document's own project, read again from its file.
    EXPECT_NE(knowledgeBase->Project(), running);
    EXPECT_EQ(knowledgeBase->Project()->modules(), running->modules());
}

TEST_F(MacroHandlers, MacroCodeReachesTheModelThroughTheObjectModel)
{
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        function check(condition, what) { if (!condition) throw new Error(what); }
        function KnowledgeBase_Load(e) {
            // Collections: keys without regard to case, places before and after, the default member.
            const list = new Collection();
            list.Add("b", "second");
            list.Add("a", "FIRST", "second");
            list.Add("c", undefined, undefined, 2);
            check(list.Count == 3 && list(1) == "a" && list.Item("first") == "a" && list.Item(3) == "c", "collection");
            let joined = "";
            for (const item of list) joined += item;
            check(joined == "abc", "walk " + joined);
            list.Remove("First");
            let refused = false;
            try { list.Item(9); } catch (error) { refused = String(error).includes("error 9"); }
            check(refused && list.Count == 2, "out of range");

            // The model: an answer propagates, a property holds an object, labels are shared.
            const evidence = KnowledgeBase.Layers.Item(1).Nodes.Item(1);
            const conclusion = evidence.Parents.Item(1);
            check(conclusion.Name.Text == "C" && conclusion.Links.Item(1).ConnectionTo.GUID == evidence.GUID, "links");
            evidence.Answer = 1;
            check(evidence.Answered && conclusion.DOT != 0.5, "propagation");
            const note = new Property();
            note.Name = "Reviewer";
            note.Value = conclusion;
            const properties = new Collection();
            properties.Add(note, note.Name);
            KnowledgeBase.Properties = properties;
            check(KnowledgeBase.Properties.Item("reviewer").Value.Name.Text == "C", "property");
            conclusion.Question.Text = "Is it " + conclusion.Name.Text + "?";
            check(typeof KnowledgeBase.OpenFile == "function" && KnowledgeBase.Quiet === undefined, "members");
            e.Cancel = true;
        }
    )"));
    bool cancel = false;
    host().FireLoad(cancel);
    EXPECT_TRUE(cancel) << qPrintable(knowledgeBase->Project()->output().join(u'\n'));
    EXPECT_EQ(test::nodeAt(*network, 2, 1)->Question->Text(), QStringLiteral("Is it C?"));
    ASSERT_EQ(network->Properties.Count(), 1);
    EXPECT_EQ(network->Properties.KeyAt(1), QStringLiteral("Reviewer"));
}

TEST_F(MacroHandlers, AHandlerThatReplacesNode1HandsItBackFromEveryConsultationEvent)
{
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        function up(e) { e.Node1 = e.Node1.Parents.Item(1); }
        function KnowledgeBase_BeforePrecondition(e) { up(e); }
        function KnowledgeBase_BeforeQuestion(e) { up(e); }
        function KnowledgeBase_BeforeAnswer(e) { up(e); }
        function KnowledgeBase_AfterPrecondition(e) { up(e); }
        function KnowledgeBase_AfterQuestion(e) { e.Node1 = null; }
        function KnowledgeBase_AfterAnswer(e) { up(e); }
    )"));
    const auto evidence = test::nodeAt(*network, 1, 1);
    const auto conclusion = test::nodeAt(*network, 2, 1);
    using Boolean = void (KnowledgeBase::*)(std::shared_ptr<Node>&, bool&);
    for (const Boolean raise : {static_cast<Boolean>(&KnowledgeBase::FireNodePrecondition),
                                static_cast<Boolean>(&KnowledgeBase::FireNodeQuestion),
                                static_cast<Boolean>(&KnowledgeBase::FireNodeAnswer)}) {
        auto node = evidence;
        bool cancel = false;
        (*knowledgeBase.*raise)(node, cancel);
        EXPECT_EQ(node, conclusion);
    }
    using Flag = void (KnowledgeBase::*)(std::shared_ptr<Node>&, qint16&);
    for (const Flag raise : {static_cast<Flag>(&KnowledgeBase::FireNodeAfterPrecondition),
                             static_cast<Flag>(&KnowledgeBase::FireNodeAfterAnswer)}) {
        auto node = evidence;
        qint16 flag = 0;
        (*knowledgeBase.*raise)(node, flag);
        EXPECT_EQ(node, conclusion);
    }
    auto node = evidence;
    qint16 flag = 0;
    knowledgeBase->FireNodeAfterQuestion(node, flag);
    EXPECT_EQ(node, nullptr) << "Nothing is handed back too";
    EXPECT_TRUE(knowledgeBase->Project()->output().isEmpty()) << qPrintable(knowledgeBase->Project()->output().join(u'\n'));
}

TEST_F(MacroHandlers, MembersOfTheKnowledgeBaseAndTheApplicationNeedNoObjectName)
{
    const auto knowledgeBase = withCode(QStringLiteral(R"js(
        var Copyright = "the module's own";
        function KnowledgeBase_Load(e) {
            KBName = KBName + " (checked)";
            Status = "ignored before the window is ready";
            AddLayer();
            e.Cancel = Visible === KnowledgeBase.Visible && Layers.Count == 3 && Name == Application.Name
                && typeof Refresh == "function" && Copyright == "the module's own";
        }
    )js"));
    bool cancel = false;
    host().FireLoad(cancel);
    EXPECT_TRUE(cancel) << qPrintable(knowledgeBase->Project()->output().join(u'\n'));
    EXPECT_EQ(network->Name()->Text(), QStringLiteral("Two nodes (checked)"));
    EXPECT_EQ(network->Layers().Count(), 3);
    EXPECT_TRUE(network->Copyright()->Text().isEmpty()) << "a global of the module's own is not the member";
}

TEST_F(MacroHandlers, TheProjectItemsNameNamesTheHandlersAndTheGlobal)
{
    const auto knowledgeBase = withCode(QStringLiteral(R"(
        function KnowledgeBase_Unload(e) { e.Cancel = false; }
        function Cars_and_vans_Unload(e) { e.Cancel = Cars_and_vans.KBName == "Two nodes"; }
    )"));
    EXPECT_EQ(knowledgeBase->Name(), QStringLiteral("KnowledgeBase"));
    knowledgeBase->setName(QStringLiteral("Cars and vans"));
    EXPECT_EQ(knowledgeBase->Name(), QStringLiteral("Cars_and_vans"));
    bool cancel = false;
    host().FireUnload(cancel);
    EXPECT_TRUE(cancel) << qPrintable(knowledgeBase->Project()->output().join(u'\n'));
}

namespace {

// Closes whatever modal dialog shows, and counts them; counts the knowledge-base splashes shown.
class Shown : public QObject {
public:
    Shown()
    {
        qApp->installEventFilter(this);
        m_modals.setInterval(20);
        QObject::connect(&m_modals, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++modals;
                modal->close();
            }
        });
        m_modals.start();
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && dynamic_cast<frmSplash1*>(watched))
            ++splashes;
        return false;
    }
    int modals = 0;
    int splashes = 0;

private:
    QTimer m_modals;
};

class MacrosInTheWindow : public test::ShellTest {
protected:
    QString sideFile() const { return sample().left(sample().size() - 4) + QStringLiteral(".vba"); }
    const AutomationInstallation automation {1000ms};
};

} // namespace

TEST_F(MacrosInTheWindow, ALoadHandlerThatCancelsSuppressesTheSplashAndTheIntroduction)
{
    settingvalues::setIntroductionSuppressed(kSampleName, false);
    {
        test::writeProject(sideFile(), QStringLiteral("function KnowledgeBase_Load(e) { e.Cancel = true; }"));
        const Shown shown;
        load(sample());
        EXPECT_EQ(shown.splashes, 0);
        EXPECT_EQ(shown.modals, 0);
    }
    {
        test::writeProject(sideFile(), QStringLiteral("function KnowledgeBase_Load(e) { }"));
        const Shown shown;
        load(sample());
        EXPECT_EQ(shown.splashes, 1);
        EXPECT_EQ(shown.modals, 1) << "the introduction";
    }
}

TEST_F(MacrosInTheWindow, AMenuItemOfTheProjectShowsInToolsAndItsClickReachesTheHandler)
{
    test::writeProject(sideFile(), QStringLiteral(R"(
        function KnowledgeBase_Load(e) {
            const items = new Collection();
            const item = new MenuItem();
            item.Name = "Hello";
            items.Add(item, "hello");
            KnowledgeBase.MenuItems = items;
        }
        function KnowledgeBase_MenuClick(e) { KnowledgeBase.Status = "Clicked " + e.MenuItem1.Name; }
    )"));
    frmNavigate& w = load(sample());
    QMenu* tools = w.SSActiveToolBars1().Menu(ToolBands::Tools);
    ASSERT_EQ(tools->actions().size(), 1);
    EXPECT_EQ(tools->actions().first()->text(), QStringLiteral("Hello"));
    EXPECT_TRUE(tools->menuAction()->isVisible());

    tools->actions().first()->trigger();
    EXPECT_EQ(w.sbStatusBar()->Panel(1)->text(), QStringLiteral("Clicked Hello"));

    // The editor, from the window's keyboard shortcut, shows the project's module; its Save
    // writes the changed code with the document, and the code runs changed.
    QTest::keyClick(&w, Qt::Key_F11, Qt::AltModifier);
    frmMacroEditor* editor = automation.host().macroHost().editor();
    ASSERT_TRUE(editor && editor->isVisible());
    EXPECT_EQ(editor->lstModules()->currentItem()->text(), QStringLiteral("Module1"));
    QString code = editor->txtCode()->toPlainText();
    ASSERT_TRUE(code.contains(QStringLiteral("\"Clicked \"")));
    editor->txtCode()->setPlainText(code.replace(QStringLiteral("\"Clicked \""), QStringLiteral("\"Chose \"")));
    editor->cmdSave()->click();
    EXPECT_TRUE(ui->messageBoxes.empty());
    const auto stored = projectstorage::readFile(sideFile(), false);
    ASSERT_EQ(stored.modules.size(), 1);
    EXPECT_TRUE(stored.modules.first().text.contains(QStringLiteral("\"Chose \"")));
    EXPECT_TRUE(w.ctlPelnet1().Network()->FileName().endsWith(QStringLiteral("car-diagnosis.xml")));
    tools->actions().first()->trigger();
    EXPECT_EQ(w.sbStatusBar()->Panel(1)->text(), QStringLiteral("Chose Hello"));
}
