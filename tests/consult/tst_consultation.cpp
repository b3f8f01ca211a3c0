// The consultation's roads through its dialogs, on a knowledge base of an evidence E and a
// conclusion C that depends on it, driven as a user drives them.
#include "tests/consult/ConsultTestSupport.h"

#include "model/Layer.h"
#include "model/Link.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class Consultation : public ConsultationTest {};

QStringList list(std::initializer_list<const char*> items)
{
    QStringList result;
    for (const char* item : items)
        result << QString::fromLatin1(item);
    return result;
}

} // namespace

TEST_F(Consultation, AnsweringEvidenceStoresTheAnswerAndGivesTheMainWindowBack)
{
    ASSERT_TRUE(click(E));
    EXPECT_FALSE(main.Enabled());
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->windowTitle(), QStringLiteral("E"));

    choose(*question, 2);
    QTest::keyClicks(question->txtJustification(), QStringLiteral("The lamp is out"));
    QTest::mouseClick(question->cmdOK(), Qt::LeftButton);

    EXPECT_TRUE(E->Answered);
    EXPECT_EQ(E->Answer(), 0.0);
    EXPECT_EQ(E->Justification->Text(), QStringLiteral("The lamp is out"));
    EXPECT_TRUE(net.network->Dirty());
    EXPECT_EQ(events(), list({"BeforeQuestion E", "AfterQuestion E"}));
    EXPECT_TRUE(main.Enabled());
    EXPECT_EQ(main.focusRequests, 1);
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(Consultation, AnAnswerTheKnowledgeBaseDisagreesWithIsExplainedKeptTakenOrReasonedAgain)
{
    E->setAnswer(1);

    // "Perhaps" against a knowledge base that says "Yes" because of E; rejecting that reason
    // leaves nothing against the user's answer.
    ASSERT_TRUE(click(C));
    answer(*showing<frmQuestion>(), 2);
    frmAnswer* dialog = showing<frmAnswer>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->lblYourAnswer()->text(), QStringLiteral("Perhaps"));
    EXPECT_EQ(dialog->lblMyAnswer()->text(), QStringLiteral("Yes"));
    EXPECT_EQ(dialog->Label4()->text(), QStringLiteral("The knowledge base disagrees"));
    ASSERT_EQ(dialog->lineCount(), 1);
    EXPECT_EQ(dialog->lblReason(1)->text(), QStringLiteral("Because E is Yes"));
    EXPECT_EQ(dialog->cmdAgree()->text(), QStringLiteral("Proceed"));
    EXPECT_EQ(dialog->cmdDisagree()->text(), QStringLiteral("Proceed"));
    QTest::mouseClick(dialog->cmdReject(1), Qt::LeftButton);
    EXPECT_EQ(dialog->Label4()->text(), QStringLiteral("The knowledge base agrees"));
    EXPECT_EQ(dialog->lineCount(), 0);
    EXPECT_FALSE(dialog->cmdDisagree()->isVisible());
    EXPECT_FALSE(link().Active);
    QTest::mouseClick(dialog->cmdAgree(), Qt::LeftButton);
    EXPECT_FALSE(C->Overridden());
    EXPECT_TRUE(link().Active);
    EXPECT_EQ(events(), list({"BeforeQuestion C", "AfterQuestion C", "BeforeAnswer C", "AfterAnswer C"}));
    EXPECT_TRUE(main.Enabled());

    // "No", kept against the knowledge base.
    ASSERT_TRUE(click(C));
    answer(*showing<frmQuestion>(), 3);
    QTest::mouseClick(showing<frmAnswer>()->cmdAgree(), Qt::LeftButton);
    EXPECT_TRUE(C->Overridden());
    EXPECT_EQ(C->Answer(), 0.0);

    // "No" again, and the knowledge base's answer taken instead.
    ASSERT_TRUE(click(C));
    answer(*showing<frmQuestion>(), 3);
    QTest::mouseClick(showing<frmAnswer>()->cmdDisagree(), Qt::LeftButton);
    EXPECT_FALSE(C->Overridden());
    EXPECT_EQ(C->Answer(), 1.0);
    EXPECT_TRUE(main.Enabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(Consultation, PendingPreconditionsAreListedAnsweredFromTheListThenTheQuestionIsAsked)
{
    ASSERT_TRUE(click(C));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    EXPECT_EQ(preconditions->windowTitle(), QStringLiteral("C preconditions"));
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("E\\tUnanswered"));
    EXPECT_EQ(events(), list({"BeforePrecondition C", "BeforePrecondition C"}));

    auto* line = preconditions->lstPreconditions()->topLevelItem(0);
    preconditions->lstPreconditions()->setCurrentItem(line);
    Q_EMIT preconditions->lstPreconditions()->itemDoubleClicked(line, 0);
    EXPECT_FALSE(preconditions->isVisible());
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->ParentPrecondition, preconditions);
    answer(*question, 1);

    // Back at the list, rebuilt with E answered.
    ASSERT_EQ(showing<frmPreconditions>(), preconditions);
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("E\\tAnswered"));
    EXPECT_FALSE(main.Enabled());
    QTest::mouseClick(preconditions->cmdProceed(), Qt::LeftButton);
    EXPECT_FALSE(preconditions->isVisible());
    answer(*showing<frmQuestion>(), 1);
    EXPECT_EQ(showing<frmAnswer>()->Label4()->text(), QStringLiteral("The knowledge base agrees"));
    QTest::mouseClick(showing<frmAnswer>()->cmdAgree(), Qt::LeftButton);

    EXPECT_EQ(events(), list({"BeforePrecondition C", "BeforePrecondition C", "AfterPrecondition C", "BeforeQuestion E",
                              "AfterQuestion E", "BeforePrecondition E", "BeforePrecondition C", "AfterPrecondition C",
                              "BeforeQuestion C", "AfterQuestion C", "BeforeAnswer C", "AfterAnswer C"}));
    EXPECT_TRUE(main.Enabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(Consultation, ARequiredQuestionHoldsTheListUntilItIsAnsweredAndCloseEndsTheConsultation)
{
    // An irrelevant evidence that still needs information: listed as irrelevant, so Proceed
    // stays on, but Proceed refuses it.
    defineControl(*E, QStringLiteral("string"), QStringLiteral("NEED INFO"), QStringLiteral("TRUE"));
    defineControl(*E, QStringLiteral("string"), QStringLiteral("IRRELEVANT"), QStringLiteral("true"));
    display().NestedHistory.Add(E);
    ASSERT_TRUE(click(C));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("E\\tIrrelevant"));
    ASSERT_TRUE(preconditions->cmdProceed()->isEnabled());
    QTest::mouseClick(preconditions->cmdProceed(), Qt::LeftButton);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Please answer the required questions before proceeding"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_TRUE(preconditions->isVisible());

    QTest::mouseClick(preconditions->cmdNavigate(), Qt::LeftButton);
    EXPECT_TRUE(preconditions->isUnloaded());
    EXPECT_TRUE(main.Enabled());
    EXPECT_TRUE(display().NestedHistory.isEmpty());
    EXPECT_EQ(events().last(), QStringLiteral("AfterPrecondition C"));
}

TEST_F(Consultation, AnExternalNodeIsConsultedInItsLowerLevelAndTheListZoomsBackOut)
{
    // T depends on X, which stands for L of a lower-level network.
    NetworkBuilder upper({"X", "T"});
    upper.links("T>X");
    NetworkBuilder lower({"L"});
    openLowerLevel(upper["X"], upper.network, lower.network, lower["L"]);
    setAnswerTexts(*lower["L"], {"Yes", "No"});
    showNetworks(display(), {upper.network, lower.network});
    display().setNetworkIndex(1);

    ASSERT_TRUE(click(upper["T"]));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    auto* line = preconditions->lstPreconditions()->topLevelItem(0);
    preconditions->lstPreconditions()->setCurrentItem(line);
    preconditions->lstPreconditions_DblClick();

    ASSERT_EQ(display().NestedHistory.Count(), 1);
    EXPECT_EQ(display().NetworkIndex(), 2);
    frmQuestion* question = showing<frmQuestion>();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->node, lower["L"]);
    EXPECT_FALSE(main.Enabled()); // until the consultation at the lower level ends

    answer(*question, 1);
    EXPECT_TRUE(display().NestedHistory.isEmpty());
    EXPECT_EQ(display().NetworkIndex(), 1);
    EXPECT_EQ(showing<frmPreconditions>(), preconditions);
    EXPECT_EQ(preconditions->lineText(0), QStringLiteral("X\\tAnswered"));

    // Clicked in the main window, the consultation stays at the lower level afterwards.
    preconditions->cmdNavigate_Click();
    ASSERT_TRUE(click(upper["X"]));
    EXPECT_EQ(display().NetworkIndex(), 2);
    answer(*showing<frmQuestion>(), 2);
    EXPECT_EQ(display().NestedHistory.Count(), 1);
    EXPECT_EQ(display().NetworkIndex(), 2);
    EXPECT_TRUE(main.Enabled());
}

TEST_F(Consultation, EachCancelledStepTakesItsOwnRoad)
{
    struct Road {
        const char* macro;
        std::shared_ptr<Node> clicked;
        bool pending;
        const char* dialogs; // the dialogs shown on the way, each one answered or agreed to
    };
    const std::vector<Road> roads {
        {"BeforeQuestion", E, false, ""},                                  // no links: the backward chain
        {"BeforeQuestion", C, false, "frmAnswer"},                         // flag 0: the answer dialog
        {"BeforeQuestion|AfterQuestion", C, false, ""},                    // flag set: the backward chain
        {"BeforeAnswer", C, false, "frmQuestion"},                         // no answer dialog after it
        {"BeforePrecondition", C, true, "frmQuestion frmAnswer"},          // the question without the list
        {"BeforePrecondition|AfterPrecondition", C, true, ""},             // the backward chain
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.macro);
        macro().clear();
        for (const QString& event : QString::fromLatin1(road.macro).split(u'|'))
            macro().insert(event, 1);
        E->Answered = !road.pending;
        click(road.clicked);
        QStringList shown;
        for (ConsultationDialog* dialog : ConsultationDialog::loadedDialogs(main)) {
            if (!dialog->isVisible())
                continue;
            shown << QString::fromLatin1(dialog->metaObject()->className()).section(u':', -1);
            if (auto* question = qobject_cast<frmQuestion*>(dialog))
                answer(*question, 1);
            else if (auto* verdict = qobject_cast<frmAnswer*>(dialog))
                verdict->cmdAgree_Click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        for (ConsultationDialog* dialog : ConsultationDialog::loadedDialogs(main))
            if (auto* verdict = qobject_cast<frmAnswer*>(dialog)) {
                shown << QStringLiteral("frmAnswer");
                verdict->cmdAgree_Click();
            }
        EXPECT_EQ(shown.join(u' '), QString::fromLatin1(road.dialogs));
        EXPECT_EQ(showingCount(), 0);
        EXPECT_TRUE(main.Enabled());
    }
}

TEST_F(Consultation, ACancelledPreconditionOnTheWayBackLeavesTheListHiddenAndTheMainWindowEnabled)
{
    ASSERT_TRUE(click(C));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    macro().insert(QStringLiteral("AfterPrecondition"), 1);
    preconditions->lstPreconditions()->setCurrentItem(preconditions->lstPreconditions()->topLevelItem(0));
    preconditions->lstPreconditions_DblClick();
    QTest::mouseClick(preconditions->cmdNavigate(), Qt::LeftButton);
    EXPECT_TRUE(preconditions->isVisible()); // a macro's flag keeps the list on both

    macro().clear();
    macro().insert(QStringLiteral("BeforePrecondition E"), 1);
    preconditions->lstPreconditions_DblClick();
    answer(*showing<frmQuestion>(), 1);
    EXPECT_FALSE(preconditions->isVisible());
    EXPECT_FALSE(preconditions->isUnloaded());
    EXPECT_TRUE(main.Enabled());
}

TEST_F(Consultation, TheCloseBoxIsEachDialogsOwnWayOut)
{
    // The question: nothing is stored.
    click(E);
    showing<frmQuestion>()->close();
    EXPECT_FALSE(E->Answered);
    EXPECT_EQ(events(), list({"BeforeQuestion E", "AfterQuestion E"}));
    EXPECT_TRUE(main.Enabled());

    // The answer: the user's answer is kept and the consultation goes back.
    E->setAnswer(1);
    click(C);
    answer(*showing<frmQuestion>(), 3);
    showing<frmAnswer>()->close();
    EXPECT_TRUE(C->Overridden());
    EXPECT_TRUE(main.Enabled());

    // The list: closed as by its Close button.
    E->Answered = false;
    display().NestedHistory.Add(E);
    click(C);
    showing<frmPreconditions>()->close();
    EXPECT_TRUE(display().NestedHistory.isEmpty());
    EXPECT_TRUE(main.Enabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(Consultation, AFailureOnTheWayLeavesTheMainWindowEnabled)
{
    // An external node whose lower-level node is missing.
    E->setExternal(true);
    E->LowerLevelNetwork = net.network;
    E->LowerLevelNode.reset();
    EXPECT_FALSE(click(E));
    EXPECT_TRUE(main.Enabled());

    // External nodes that lead back to each other.
    C->setExternal(true);
    C->LowerLevelNetwork = net.network;
    C->Links().Clear();
    E->LowerLevelNode = C;
    C->LowerLevelNode = E;
    EXPECT_FALSE(click(E));
    EXPECT_TRUE(main.Enabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(Consultation, InputWhileTheProgramYieldsDoesNotActTwice)
{
    // A second OK while the answer propagates.
    click(E);
    frmQuestion* question = showing<frmQuestion>();
    ui->onYield = once([question] { question->cmdOK_Click(); });
    question->cmdOK_Click();
    EXPECT_EQ(events(), list({"BeforeQuestion E", "AfterQuestion E"}));

    // OK while the answer control glides to an option: the dialog may go while it glides.
    click(C);
    question = showing<frmQuestion>();
    ui->onYield = once([question] {
        question->cmdOK_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    choose(*question, 1);
    EXPECT_EQ(events().count(QStringLiteral("AfterQuestion C")), 1);
    EXPECT_EQ(showing<frmAnswer>()->node, C);
}

TEST_F(Consultation, TheSampleKnowledgeBaseIsConsultedToAConclusion)
{
    auto sample = clsNetwork::create();
    display().setNetwork(sample);
    sample->setFileName(QStringLiteral(KELVANE_SOURCE_DIR "/examples/car-diagnosis.xml"));
    ASSERT_TRUE(display().FileOpen(nullptr, true));
    const auto root = display().Network();
    knowledgeBase->network = root;
    knowledgeBase->autoAnswer = root->AutoAnswer;
    const auto named = [&](const QString& name) {
        for (const auto& layer : root->Layers())
            for (const auto& node : layer->Nodes())
                if (node->Name()->Text() == name)
                    return node;
        ADD_FAILURE() << name.toStdString();
        return std::shared_ptr<Node>();
    };

    // Why is the battery flat? Its three questions first, from the list.
    ASSERT_TRUE(click(named(QStringLiteral("Battery flat"))));
    frmPreconditions* preconditions = showing<frmPreconditions>();
    ASSERT_NE(preconditions, nullptr);
    QTreeWidget& lines = *preconditions->lstPreconditions();
    ASSERT_EQ(lines.topLevelItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const QString name = preconditions->lineText(row).section(QStringLiteral("\\t"), 0, 0);
        lines.setCurrentItem(lines.topLevelItem(row));
        preconditions->lstPreconditions_DblClick();
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

    EXPECT_TRUE(main.Enabled());
    EXPECT_GT(named(QStringLiteral("Battery flat"))->Answer(), 0.9);
    EXPECT_TRUE(named(QStringLiteral("Call for help"))->Answered);
}
