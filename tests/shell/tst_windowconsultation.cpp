// Consultations in the main window, driven as a user drives them: a click on a node of the
// diagram, then the dialogs' own buttons, on a knowledge base of an evidence E and a
// conclusion C that depends on it, and on the sample knowledge base.

#include "tests/shell/ShellTestSupport.h"

#include "tests/consult/ConsultTestSupport.h"

#include "diagram/NetworkCanvas.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "network/NetworkGrid.h"
#include "platform/Clock.h"
#include "platform/doubles/FixedClock.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

const QString kTwoNodes = QStringLiteral("Two questions");

QStringList list(std::initializer_list<const char*> items)
{
    QStringList result;
    for (const char* item : items)
        result << QString::fromLatin1(item);
    return result;
}

class WindowConsultation : public ShellTest {
protected:
    WindowConsultation()
    {
        net.links("C>E");
        for (const char* name : {"E", "C"})
            net[name]->Question->setText(QStringLiteral("Is %1 so?").arg(QLatin1String(name)));
        setAnswerTexts(*net["E"], {"Yes", "No"});
        setAnswerTexts(*net["C"], {"Yes", "Perhaps", "No"});
        Link& toE = *net["C"]->Links().Item(1);
        toE.WeightDeny = 1;
        toE.WeightAffirm = 1;
    }

    // Saves the networks as one document (the first is the top network) and opens it in the
    // main window as start-up does.
    frmNavigate& open(const std::vector<std::shared_ptr<clsNetwork>>& networks)
    {
        const QString path = scratchFolder() + QStringLiteral("/consulted.xml");
        QFile::remove(path);
        networks.front()->Name()->setText(kTwoNodes);
        networks.front()->setFileName(path);
        {
            ctlPelnet writer;
            showNetworks(writer, networks);
            EXPECT_TRUE(writer.FileSave());
        }
        settingvalues::setIntroductionSuppressed(kTwoNodes, true);
        return load(path);
    }
    frmNavigate& openTwoNodes() { return open({net.network}); }

    ctlPelnet& diagram() { return window->ctlPelnet1(); }

    // The node of that name in any network of the open document.
    std::shared_ptr<Node> node(const QString& name)
    {
        for (const auto& network : diagram().Networks)
            for (const auto& layer : network->Layers())
                for (const auto& each : layer->Nodes())
                    if (each->Name()->Text() == name)
                        return each;
        ADD_FAILURE() << name.toStdString();
        return {};
    }

    // A left click on the node of that name in the network shown, at its centre.
    void click(const QString& name)
    {
        std::shared_ptr<Node> target;
        for (const auto& layer : diagram().ActiveNetwork()->Layers())
            for (const auto& each : layer->Nodes())
                if (each->Name()->Text() == name)
                    target = each;
        ASSERT_TRUE(target) << name.toStdString() << " is not shown";
        auto* canvas = diagram().picnetwork();
        const auto layer = target->Layer.lock();
        const NetworkGrid grid(canvas->ScaleWidth(), canvas->ScaleHeight(), diagram().ActiveNetwork()->Layers().Count());
        const QPointF centre = grid.cell(layer->Index, layer->Nodes().Count(), target->Index()).centre;
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(qRound(centre.x() / 15), qRound(centre.y() / 15)));
    }

    template <class Dialog>
    Dialog* showing()
    {
        return test::showing<Dialog>(*window);
    }
    qsizetype showingCount() { return test::showingCount(*window); }
    QStringList& events() { return m_events->events; }
    QHash<QString, int>& macro() { return m_events->answers; }

    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock {
        0, QDateTime(QDate(2024, 5, 1), QTime(9, 0, 0, 999))};
    platform::ScopedService<AbstractConsultationEvents, doubles::RecordingConsultationEvents> m_events;
    NetworkBuilder net {"E", "C"};
};

} // namespace

TEST_F(WindowConsultation, AnsweringEvidenceStoresTheAnswerAndGivesTheMainWindowBack)
{
    openTwoNodes();
    click(QStringLiteral("E"));
    EXPECT_FALSE(window->isEnabled());
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->windowTitle(), QStringLiteral("E"));
    EXPECT_EQ(question->parentWidget(), window.get());

    choose(*question, 2);
    QTest::keyClicks(question->txtJustification(), QStringLiteral("The lamp is out"));
    QTest::mouseClick(question->cmdOK(), Qt::LeftButton);

    const auto E = node(QStringLiteral("E"));
    EXPECT_TRUE(E->Answered);
    EXPECT_EQ(E->Answer(), 0.0);
    EXPECT_EQ(E->Justification->Text(), QStringLiteral("The lamp is out"));
    EXPECT_TRUE(diagram().Dirty());
    EXPECT_EQ(events(), list({"BeforeQuestion E", "AfterQuestion E"}));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(WindowConsultation, AnAnswerTheKnowledgeBaseDisagreesWithIsExplainedKeptTakenOrReasonedAgain)
{
    openTwoNodes();
    click(QStringLiteral("E"));
    answer(*showing<frmQuestion>(), 1);
    events().clear();
    const auto C = node(QStringLiteral("C"));

    // "Perhaps" against a knowledge base that says "Yes" because of E; rejecting that reason
    // leaves nothing against the user's answer.
    click(QStringLiteral("C"));
    answer(*showing<frmQuestion>(), 2);
    frmAnswer* verdict = showing<frmAnswer>();
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(verdict->lblYourAnswer()->text(), QStringLiteral("Perhaps"));
    EXPECT_EQ(verdict->lblMyAnswer()->text(), QStringLiteral("Yes"));
    EXPECT_EQ(verdict->Label4()->text(), QStringLiteral("The knowledge base disagrees"));
    ASSERT_EQ(verdict->lineCount(), 1);
    EXPECT_EQ(verdict->lblReason(1)->text(), QStringLiteral("Because E is Yes"));
    EXPECT_EQ(verdict->cmdAgree()->text(), QStringLiteral("Proceed"));
    EXPECT_EQ(verdict->cmdDisagree()->text(), QStringLiteral("Proceed"));
    QTest::mouseClick(verdict->cmdReject(1), Qt::LeftButton);
    EXPECT_EQ(verdict->Label4()->text(), QStringLiteral("The knowledge base agrees"));
    EXPECT_EQ(verdict->lineCount(), 0);
    EXPECT_FALSE(verdict->cmdDisagree()->isVisible());
    QTest::mouseClick(verdict->cmdAgree(), Qt::LeftButton);
    EXPECT_FALSE(C->Overridden());
    EXPECT_TRUE(C->Links().Item(1)->Active);
    EXPECT_EQ(events(), list({"BeforeQuestion C", "AfterQuestion C", "BeforeAnswer C", "AfterAnswer C"}));
    EXPECT_TRUE(window->isEnabled());

    // "No", kept against the knowledge base.
    click(QStringLiteral("C"));
    answer(*showing<frmQuestion>(), 3);
    QTest::mouseClick(showing<frmAnswer>()->cmdAgree(), Qt::LeftButton);
    EXPECT_TRUE(C->Overridden());
    EXPECT_EQ(C->Answer(), 0.0);

    // "No" again, and the knowledge base's answer taken instead.
    click(QStringLiteral("C"));
    answer(*showing<frmQuestion>(), 3);
    QTest::mouseClick(showing<frmAnswer>()->cmdDisagree(), Qt::LeftButton);
    EXPECT_FALSE(C->Overridden());
    EXPECT_EQ(C->Answer(), 1.0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(WindowConsultation, PendingPreconditionsAreListedAnsweredFromTheListThenTheQuestionIsAsked)
{
    openTwoNodes();
    click(QStringLiteral("C"));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    EXPECT_EQ(preconditions->windowTitle(), QStringLiteral("C preconditions"));
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("E\\tUnanswered"));

    doubleClickLine(*preconditions, 0);
    EXPECT_FALSE(preconditions->isVisible());
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    answer(*question, 1);

    // Back at the list, rebuilt with E answered.
    ASSERT_EQ(showing<frmPreconditions>(), preconditions);
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("E\\tAnswered"));
    EXPECT_FALSE(window->isEnabled());
    QTest::mouseClick(preconditions->cmdProceed(), Qt::LeftButton);
    answer(*showing<frmQuestion>(), 1);
    EXPECT_EQ(showing<frmAnswer>()->Label4()->text(), QStringLiteral("The knowledge base agrees"));
    QTest::mouseClick(showing<frmAnswer>()->cmdAgree(), Qt::LeftButton);

    EXPECT_EQ(events(), list({"BeforePrecondition C", "BeforePrecondition C", "AfterPrecondition C", "BeforeQuestion E",
                              "AfterQuestion E", "BeforePrecondition E", "BeforePrecondition C", "AfterPrecondition C",
                              "BeforeQuestion C", "AfterQuestion C", "BeforeAnswer C", "AfterAnswer C"}));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(WindowConsultation, ARequiredQuestionHoldsTheListAndCloseEndsTheConsultation)
{
    // An irrelevant evidence that still needs information: listed as irrelevant, so Proceed
    // stays on, but Proceed refuses it.
    defineControl(*net["E"], QStringLiteral("string"), QStringLiteral("NEED INFO"), QStringLiteral("TRUE"));
    defineControl(*net["E"], QStringLiteral("string"), QStringLiteral("IRRELEVANT"), QStringLiteral("true"));
    openTwoNodes();
    click(QStringLiteral("C"));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("E\\tIrrelevant"));
    ASSERT_TRUE(preconditions->cmdProceed()->isEnabled());
    ui->messageBoxes.clear();
    QTest::mouseClick(preconditions->cmdProceed(), Qt::LeftButton);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Please answer the required questions before proceeding"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_TRUE(preconditions->isVisible());

    diagram().NestedHistory.Add(node(QStringLiteral("E")));
    QTest::mouseClick(preconditions->cmdNavigate(), Qt::LeftButton);
    EXPECT_EQ(showingCount(), 0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(diagram().NestedHistory.isEmpty());
    EXPECT_EQ(events().last(), QStringLiteral("AfterPrecondition C"));
}

TEST_F(WindowConsultation, AnExternalNodeIsConsultedInItsLowerLevelAndTheListZoomsBackOut)
{
    // T depends on X, which stands for L of a lower-level network.
    NetworkBuilder upper({"X", "T"});
    upper.links("T>X");
    NetworkBuilder lower({"L"});
    openLowerLevel(upper["X"], upper.network, lower.network, lower["L"]);
    setAnswerTexts(*lower["L"], {"Yes", "No"});
    open({upper.network, lower.network});
    ASSERT_EQ(diagram().Networks.Count(), 2);
    click(kTwoNodes); // in the overview of the networks

    click(QStringLiteral("T"));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    doubleClickLine(*preconditions, 0);
    ASSERT_EQ(diagram().NestedHistory.Count(), 1);
    EXPECT_EQ(diagram().ActiveNetwork()->Layers().Item(1)->Nodes().Item(1), node(QStringLiteral("L")));
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->node, node(QStringLiteral("L")));
    EXPECT_FALSE(window->isEnabled()); // until the consultation at the lower level ends

    answer(*question, 1);
    EXPECT_TRUE(diagram().NestedHistory.isEmpty());
    EXPECT_EQ(diagram().NetworkIndex(), 1);
    EXPECT_EQ(showing<frmPreconditions>(), preconditions);
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("X\\tAnswered"));

    // Clicked in the main window, the consultation stays at the lower level afterwards.
    QTest::mouseClick(preconditions->cmdNavigate(), Qt::LeftButton);
    click(QStringLiteral("X"));
    EXPECT_EQ(diagram().NetworkIndex(), 2);
    answer(*showing<frmQuestion>(), 2);
    EXPECT_EQ(diagram().NestedHistory.Count(), 1);
    EXPECT_EQ(diagram().NetworkIndex(), 2);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(WindowConsultation, EachCancelledStepTakesItsOwnRoad)
{
    struct Road {
        const char* macro;
        const char* clicked;
        bool pending;
        const char* dialogs; // the dialogs shown on the way, each one answered or agreed to
    };
    const std::vector<Road> roads {
        {"BeforeQuestion", "E", false, ""},                         // no links: the backward chain
        {"BeforeQuestion", "C", false, "frmAnswer"},                // flag 0: the answer dialog
        {"BeforeQuestion|AfterQuestion", "C", false, ""},           // flag set: the backward chain
        {"BeforeAnswer", "C", false, "frmQuestion"},                // no answer dialog after it
        {"BeforePrecondition", "C", true, "frmQuestion frmAnswer"}, // the question without the list
        {"BeforePrecondition|AfterPrecondition", "C", true, ""},    // the backward chain
    };
    openTwoNodes();
    const auto E = node(QStringLiteral("E"));
    E->setAnswer(1);
    for (const Road& road : roads) {
        SCOPED_TRACE(road.macro);
        macro().clear();
        for (const QString& event : QString::fromLatin1(road.macro).split(u'|'))
            macro().insert(event, 1);
        E->Answered = !road.pending;
        click(QString::fromLatin1(road.clicked));
        QStringList shown;
        while (showingCount() > 0) {
            if (auto* question = test::showingDialogs<frmQuestion>(*window).value(0)) {
                shown << QStringLiteral("frmQuestion");
                answer(*question, 1);
            } else if (auto* verdict = test::showingDialogs<frmAnswer>(*window).value(0)) {
                shown << QStringLiteral("frmAnswer");
                QTest::mouseClick(verdict->cmdAgree(), Qt::LeftButton);
            } else {
                break;
            }
        }
        EXPECT_EQ(shown.join(u' '), QString::fromLatin1(road.dialogs));
        EXPECT_EQ(showingCount(), 0);
        EXPECT_TRUE(window->isEnabled());
    }
}

TEST_F(WindowConsultation, ACancelledPreconditionOnTheWayBackLeavesTheListHiddenAndTheMainWindowEnabled)
{
    openTwoNodes();
    click(QStringLiteral("C"));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    macro().insert(QStringLiteral("AfterPrecondition"), 1);
    doubleClickLine(*preconditions, 0);
    QTest::mouseClick(preconditions->cmdNavigate(), Qt::LeftButton);
    EXPECT_TRUE(preconditions->isVisible()); // a macro's flag keeps the list on both

    macro().clear();
    macro().insert(QStringLiteral("BeforePrecondition E"), 1);
    doubleClickLine(*preconditions, 0);
    answer(*showing<frmQuestion>(), 1);
    EXPECT_FALSE(preconditions->isVisible());
    EXPECT_FALSE(preconditions->isUnloaded());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(WindowConsultation, TheCloseBoxIsEachDialogsOwnWayOut)
{
    openTwoNodes();
    const auto E = node(QStringLiteral("E"));
    const auto C = node(QStringLiteral("C"));

    // The question: nothing is stored.
    click(QStringLiteral("E"));
    showing<frmQuestion>()->close();
    EXPECT_FALSE(E->Answered);
    EXPECT_EQ(events(), list({"BeforeQuestion E", "AfterQuestion E"}));
    EXPECT_TRUE(window->isEnabled());

    // The answer: the user's answer is kept and the consultation goes back.
    E->setAnswer(1);
    click(QStringLiteral("C"));
    answer(*showing<frmQuestion>(), 3);
    showing<frmAnswer>()->close();
    EXPECT_TRUE(C->Overridden());
    EXPECT_TRUE(window->isEnabled());

    // The list: closed as by its Close button.
    E->Answered = false;
    click(QStringLiteral("C"));
    showing<frmPreconditions>()->close();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(WindowConsultation, ASecondClickWhileTheFirstIsHandedOverStartsNothing)
{
    openTwoNodes();
    platform::ScopedService<platform::UiServices, YieldingUiServices> yielding;
    yielding->onYield = once([this] { window->ctlPelnet1_Click(node(QStringLiteral("C"))); });
    window->ctlPelnet1_Click(node(QStringLiteral("E")));
    EXPECT_EQ(events(), list({"BeforeQuestion E"}));
    EXPECT_EQ(showingCount(), 1);
}

TEST_F(WindowConsultation, TheSampleKnowledgeBaseIsConsultedToAConclusion)
{
    load(sample());
    // Why is the battery flat? Its three questions first, from the list.
    click(QStringLiteral("Battery flat"));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    ASSERT_EQ(preconditions->lstPreconditions()->topLevelItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QString name = preconditions->lineText(row).section(QStringLiteral("\\t"), 0, 0);
        doubleClickLine(*preconditions, row);
        answer(*showing<frmQuestion>(), name == QStringLiteral("Engine cranks") ? 3 : 1);
        EXPECT_EQ(preconditions->lineText(row), name + QStringLiteral("\\tAnswered"));
    }
    QTest::mouseClick(preconditions->cmdProceed(), Qt::LeftButton);
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    QTest::mouseClick(question->cmdOK(), Qt::LeftButton); // as the knowledge base already answered
    frmAnswer* verdict = showing<frmAnswer>();
    ASSERT_NE(verdict, nullptr);
    EXPECT_EQ(verdict->Label4()->text(), QStringLiteral("The knowledge base agrees"));
    EXPECT_EQ(verdict->lblYourAnswer()->text(), QStringLiteral("Certainly"));
    QTest::mouseClick(verdict->cmdAgree(), Qt::LeftButton);

    EXPECT_TRUE(window->isEnabled());
    EXPECT_GT(node(QStringLiteral("Battery flat"))->Answer(), 0.9);
    EXPECT_TRUE(node(QStringLiteral("Call for help"))->Answered);
    window->DrawDisplay();
    QDir().mkpath(buildPath(QStringLiteral("pictures")));
    EXPECT_TRUE(window->grab().save(buildPath(QStringLiteral("pictures/consulted-sample.png"))));
}
