#include "NetworkBuilder.h"

#include "model/Report.h"
#include "model/doubles/StubKnowledgeBase.h"

#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::NetworkBuilder;

namespace {

// Reports on real networks, with nodes answering "Yes" (true) or "No" (false).
class ReportOnNetwork : public ::testing::Test {
protected:
    void SetUp() override
    {
        knowledgeBase->network = build.network;
        report.KnowledgeBase = knowledgeBase;
    }

    std::shared_ptr<Node> node(qint16 layer, const char* name)
    {
        auto added = build.node(layer, QString::fromLatin1(name));
        for (const char* text : {"Yes", "No"}) {
            auto answer = std::make_shared<TextLabel>();
            answer->setText(QString::fromLatin1(text));
            added->Answers.Add(answer);
        }
        return added;
    }

    // Sets a stored answer without propagating it, as a document read from a file holds it.
    static void answered(const std::shared_ptr<Node>& node, double value)
    {
        node->DOT = value;
        node->Answered = true;
    }

    std::shared_ptr<Link> link(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to, double dot)
    {
        auto made = build.link(from, to);
        made->DOT = dot;
        return made;
    }

    static std::string text(const std::shared_ptr<ReportItem>& item) { return item->Text.toStdString(); }

    NetworkBuilder build;
    std::shared_ptr<doubles::StubKnowledgeBase> knowledgeBase = std::make_shared<doubles::StubKnowledgeBase>();
    Report report;
};

} // namespace

TEST(ReportIcon, IconFollowsTheDegreeOfTruth)
{
    const std::pair<double, int> cases[] = {{0.5, 5},  {0.55, 6}, {0.9, 9},     {0.95, 10}, {0.45, 4},
                                            {0.1, 0},  {0.10001, 1}, {0, 0},    {1, 10},    {0.6, 6},
                                            {0.61, 7}, {0.49, 4},    {0.2, 1},  {0.35, 3},  {-1, 0}};
    for (const auto& [dot, icon] : cases)
        EXPECT_EQ(Report::GetNodeIcon(dot), icon) << dot;
}

TEST_F(ReportOnNetwork, NameJoinsTitleAndScenario)
{
    build.network->Name()->setText(QStringLiteral("Loans"));
    EXPECT_EQ(report.Name(), QStringLiteral("Loans"));
    build.network->setScenarioName(QStringLiteral("Smith"));
    EXPECT_EQ(report.Name(), QStringLiteral("Loans - Smith"));

    Report orphan;
    EXPECT_TRUE(orphan.Name().isEmpty());
    EXPECT_TRUE(orphan.ReportItems().isEmpty());
}

TEST_F(ReportOnNetwork, TopNodesOfHigherLayersComeFirst)
{
    const auto evidence = node(1, "Evidence");
    node(1, "Lone");
    const auto top = node(3, "Top");
    link(top, evidence, 0.5);

    const auto items = report.ReportItems();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(text(items.Item(1)), "Top is unknown");
    EXPECT_EQ(text(items.Item(2)), "Lone is unknown");
    ASSERT_EQ(items.Item(1)->ReportItems().Count(), 1);
    EXPECT_EQ(text(items.Item(1)->ReportItems().Item(1)), "Evidence is unknown");
    EXPECT_EQ(items.Item(1)->KnowledgeBase.lock(), knowledgeBase);
}

TEST_F(ReportOnNetwork, AnUnknownNodeReadsUnknownWithoutMarks)
{
    const auto question = node(1, "Rain");
    question->Plural = true;
    question->setOverridden(true);
    question->Contradiction = true;

    const auto items = report.ReportItems();
    ASSERT_EQ(items.Count(), 1);
    const auto& item = items.Item(1);
    EXPECT_EQ(text(item), "Rain is unknown");
    EXPECT_EQ(item->Value, 5);
    EXPECT_TRUE(item->Unknown);
    EXPECT_FALSE(item->ByDefault || item->Overwritten || item->Contradiction || item->Always);
}

TEST_F(ReportOnNetwork, AnUnansweredNodeWithADefaultReadsItsDefault)
{
    const auto cats = node(1, "Cats");
    cats->Plural = true;
    cats->NoDefault = false;
    cats->Default = 0.95;

    const auto item = report.ReportItems().Item(1);
    EXPECT_EQ(text(item), "Cats are Yes (BY DEFAULT)");
    EXPECT_EQ(item->Value, 10);
    EXPECT_TRUE(item->ByDefault);
    EXPECT_FALSE(item->Unknown);
}

TEST_F(ReportOnNetwork, EvidenceUnderAnAnsweredParentSaysBecauseOrAlthough)
{
    const auto parent = node(2, "Loan");
    answered(parent, 0.9);
    const auto agrees = node(1, "Income");
    const auto disagrees = node(1, "Debts");
    const auto undecided = node(1, "Age");
    for (const auto& evidence : {agrees, disagrees, undecided})
        answered(evidence, 1);
    link(parent, agrees, 0.8);
    link(parent, disagrees, 0.3);
    link(parent, undecided, 0.5);

    const auto top = report.ReportItems().Item(1);
    EXPECT_EQ(text(top), "Loan is Yes ");
    EXPECT_EQ(top->Value, 9);
    const auto& lines = top->ReportItems();
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(text(lines.Item(1)), "Because Income is Yes ");
    EXPECT_EQ(text(lines.Item(2)), "Although Debts is Yes ");
    EXPECT_EQ(text(lines.Item(3)), "Although Age is Yes ");
    // Evidence lines show the link's degree of truth.
    EXPECT_EQ(lines.Item(1)->Value, 8);
    EXPECT_EQ(lines.Item(2)->Value, 2);
    EXPECT_EQ(lines.Item(3)->Value, 5);

    answered(parent, 0.2);
    EXPECT_EQ(text(report.ReportItems().Item(1)->ReportItems().Item(2)), "Because Debts is Yes ");
}

TEST_F(ReportOnNetwork, EvidenceUnderAnUnansweredParentHasNoConjunction)
{
    const auto parent = node(2, "Loan");
    parent->NoDefault = false;
    const auto evidence = node(1, "Income");
    answered(evidence, 0);
    link(parent, evidence, 0.9);

    const auto top = report.ReportItems().Item(1);
    EXPECT_EQ(text(top->ReportItems().Item(1)), "Income is No ");
}

TEST_F(ReportOnNetwork, MarksFollowTheAnswerInTheirOrder)
{
    const auto parent = node(2, "Loan");
    answered(parent, 1);
    const auto decisive = node(1, "Fraud");
    answered(decisive, 1);
    decisive->setOverridden(true);
    decisive->Contradiction = true;
    const auto forcing = link(parent, decisive, 1);
    forcing->AlwaysAffirm = true;
    forcing->WeightAffirm = 1;
    const auto byDefault = node(1, "Record");
    byDefault->NoDefault = false;
    byDefault->Default = 0;
    byDefault->setOverridden(true);
    byDefault->Contradiction = true;
    const auto denying = link(parent, byDefault, 0);
    denying->AlwaysDeny = true;
    denying->WeightDeny = 1;

    const auto top = report.ReportItems().Item(1);
    const auto& lines = top->ReportItems();
    ASSERT_EQ(lines.Count(), 2);
    EXPECT_EQ(text(lines.Item(1)), "Because Fraud is Yes (OVERIDDEN)(ALWAYS)(CONTRADICTION)");
    EXPECT_TRUE(lines.Item(1)->Overwritten && lines.Item(1)->Always && lines.Item(1)->Contradiction);
    EXPECT_FALSE(lines.Item(1)->ByDefault);
    EXPECT_EQ(text(lines.Item(2)), "Although Record is No (BY DEFAULT)(OVERIDDEN)(ALWAYS)(CONTRADICTION)");
    EXPECT_TRUE(lines.Item(2)->ByDefault && lines.Item(2)->Always);

    // A link that does not decide its parent earns no mark.
    forcing->WeightAffirm = 0.9;
    EXPECT_FALSE(report.ReportItems().Item(1)->ReportItems().Item(1)->Always);
}

TEST_F(ReportOnNetwork, LinesCarryJustificationAndOneLineNames)
{
    const auto question = node(1, "Two\r\nlines");
    answered(question, 0);
    question->Justification->setText(QStringLiteral("Seen on the form"));

    const auto item = report.ReportItems().Item(1);
    EXPECT_EQ(text(item), "Two \nlines is No ");
    EXPECT_EQ(item->Justification, QStringLiteral("Seen on the form"));
}

TEST_F(ReportOnNetwork, SharedEvidenceIsListedUnderEachConclusion)
{
    const auto shared = node(1, "Shared");
    const auto first = node(2, "First");
    const auto second = node(2, "Second");
    link(first, shared, 0.5);
    link(second, shared, 0.5);

    const auto items = report.ReportItems();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(text(items.Item(1)->ReportItems().Item(1)), "Shared is unknown");
    EXPECT_EQ(text(items.Item(2)->ReportItems().Item(1)), "Shared is unknown");
}

TEST_F(ReportOnNetwork, ACycleReadFromAFileEndsTheBranch)
{
    const auto a = node(1, "A");
    const auto b = node(1, "B");
    const auto top = node(2, "Top");
    link(top, a, 0.5);
    link(a, b, 0.5);
    link(b, a, 0.5);

    const auto items = report.ReportItems();
    ASSERT_EQ(items.Count(), 1);
    const auto& lineA = items.Item(1)->ReportItems().Item(1);
    ASSERT_EQ(lineA->ReportItems().Count(), 1);
    EXPECT_EQ(text(lineA->ReportItems().Item(1)), "B is unknown");
    EXPECT_TRUE(lineA->ReportItems().Item(1)->ReportItems().isEmpty());
}

TEST_F(ReportOnNetwork, AnExternalNodeListsTheEnabledEvidenceOfItsLowerLevelNode)
{
    const auto external = node(1, "Summary");
    answered(external, 1);
    external->setExternal(true);

    NetworkBuilder lower;
    const auto lowerNode = lower.node(2, QStringLiteral("Detail"));
    const auto enabled = lower.node(1, QStringLiteral("Shown"));
    const auto disabled = lower.node(1, QStringLiteral("Hidden"));
    disabled->setEnabled(false);
    lower.link(lowerNode, enabled)->DOT = 0.9;
    lower.link(lowerNode, disabled);
    external->LowerLevelNode = lowerNode;

    const auto item = report.ReportItems().Item(1);
    ASSERT_EQ(item->ReportItems().Count(), 1);
    EXPECT_EQ(text(item->ReportItems().Item(1)), "Shown is unknown");
    EXPECT_EQ(item->ReportItems().Item(1)->Value, 9);
}

TEST_F(ReportOnNetwork, ANetworkWithoutLayersGivesNoLines)
{
    EXPECT_TRUE(report.ReportItems().isEmpty());
}
