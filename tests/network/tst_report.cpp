#include "NetworkBuilder.h"

#include "model/Report.h"
#include "model/doubles/StubKnowledgeBase.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A report on a real network whose nodes answer "Yes" (true) or "No" (false).
class ReportOnNetwork : public ::testing::Test {
protected:
    void build(std::initializer_list<const char*> layers, const char* links)
    {
        net = NetworkBuilder(layers);
        for (const auto& [name, node] : net.named) {
            for (const char* text : {"Yes", "No"}) {
                node->Answers.Add(std::make_shared<TextLabel>());
                node->Answers.Item(node->Answers.Count())->setText(QString::fromLatin1(text));
            }
        }
        net.links(links);
        knowledgeBase->network = net.network;
        report.KnowledgeBase = knowledgeBase;
    }
    // A stored answer without its effects, as a document holds it.
    void answer(const char* name, double value)
    {
        net[name]->DOT = value;
        net[name]->Answered = true;
    }
    // Each line as "text/value", lines below indented by two blanks per level.
    Names lines()
    {
        Names result;
        const auto add = [&](const auto& self, const Collection<std::shared_ptr<ReportItem>>& items, const std::string& indent) -> void {
            for (const auto& item : items) {
                result.push_back(indent + item->Text.toStdString() + "/" + std::to_string(item->Value));
                self(self, item->ReportItems(), indent + "  ");
            }
        };
        add(add, report.ReportItems(), "");
        return result;
    }

    NetworkBuilder net;
    std::shared_ptr<doubles::StubKnowledgeBase> knowledgeBase = std::make_shared<doubles::StubKnowledgeBase>();
    Report report;
};

} // namespace

TEST(ReportIcon, IconFollowsTheDegreeOfTruth)
{
    const std::pair<double, int> cases[] = {{0.5, 5}, {0.55, 6}, {0.9, 9}, {0.95, 10}, {0.45, 4}, {0.1, 0},
                                            {0.10001, 1}, {0, 0}, {1, 10}, {0.61, 7}, {0.3, 2}, {0.35, 3}};
    for (const auto& [dot, icon] : cases)
        EXPECT_EQ(Report::GetNodeIcon(dot), icon) << dot;
}

TEST_F(ReportOnNetwork, NameJoinsTitleAndScenario)
{
    build({}, "");
    net.network->Name()->setText(QStringLiteral("Loans"));
    EXPECT_EQ(report.Name(), QStringLiteral("Loans"));
    net.network->setScenarioName(QStringLiteral("Smith"));
    EXPECT_EQ(report.Name(), QStringLiteral("Loans - Smith"));
    EXPECT_TRUE(report.ReportItems().isEmpty()); // no layers

    Report orphan;
    EXPECT_TRUE(orphan.Name().isEmpty());
    EXPECT_TRUE(orphan.ReportItems().isEmpty());
}

TEST_F(ReportOnNetwork, TopNodesOfHigherLayersComeFirstWithTheirEvidenceBelow)
{
    build({"Shared Lone", "Other", "Top"}, "Top>Shared Other>Shared");
    net["Lone"]->Plural = true; // unknown nodes carry no verb or marks of their own
    net["Lone"]->setOverridden(true);
    net["Other"]->NoDefault = false; // an unanswered parent gives its evidence no conjunction
    net["Other"]->Default = 0.95;
    net["Other"]->Plural = true;
    answer("Shared", 0);

    EXPECT_EQ(lines(), (Names {"Top is unknown/5", "  Shared is No /5", "Other are Yes (BY DEFAULT)/10",
                               "  Shared is No /5", "Lone is unknown/5"}));
    const auto items = report.ReportItems();
    EXPECT_TRUE(items.Item(3)->Unknown);
    EXPECT_FALSE(items.Item(3)->Overwritten);
    EXPECT_TRUE(items.Item(2)->ByDefault);
    EXPECT_EQ(items.Item(1)->KnowledgeBase.lock(), knowledgeBase);
}

TEST_F(ReportOnNetwork, EvidenceUnderAnAnsweredParentSaysBecauseOrAlthough)
{
    build({"Income Debts Age", "Loan"}, "Loan>Income Loan>Debts Loan>Age");
    for (const char* name : {"Income", "Debts", "Age"})
        answer(name, 1);
    const double dots[] = {0.8, 0.3, 0.5};
    for (int i = 0; i < 3; ++i)
        net["Loan"]->Links().Item(i + 1)->DOT = dots[i];

    answer("Loan", 0.9);
    EXPECT_EQ(lines(), (Names {"Loan is Yes /9", "  Because Income is Yes /8", "  Although Debts is Yes /2",
                               "  Although Age is Yes /5"}));
    answer("Loan", 0.2);
    EXPECT_EQ(lines()[2], "  Because Debts is Yes /2");
}

TEST_F(ReportOnNetwork, MarksFollowTheAnswerInTheirOrder)
{
    build({"Fraud Record", "Loan"}, "Loan>Fraud Loan>Record");
    answer("Loan", 1);
    answer("Fraud", 1);
    net["Record"]->NoDefault = false;
    net["Record"]->Default = 0;
    for (const char* name : {"Fraud", "Record"}) {
        net[name]->setOverridden(true);
        net[name]->Contradiction = true;
    }
    const auto affirming = net["Loan"]->Links().Item(1);
    affirming->DOT = 1;
    affirming->AlwaysAffirm = true;
    affirming->WeightAffirm = 1;
    const auto denying = net["Loan"]->Links().Item(2);
    denying->DOT = 0;
    denying->AlwaysDeny = true;
    denying->WeightDeny = 1;
    net["Record"]->Justification->setText(QStringLiteral("Seen on\r\nthe form"));

    EXPECT_EQ(lines(), (Names {"Loan is Yes /10", "  Because Fraud is Yes (OVERIDDEN)(ALWAYS)(CONTRADICTION)/10",
                               "  Although Record is No (BY DEFAULT)(OVERIDDEN)(ALWAYS)(CONTRADICTION)/0"}));
    const auto top = report.ReportItems().Item(1);
    const auto record = top->ReportItems().Item(2);
    EXPECT_TRUE(record->ByDefault && record->Overwritten && record->Always && record->Contradiction);
    EXPECT_EQ(record->Justification, QStringLiteral("Seen on\r\nthe form"));

    affirming->WeightAffirm = 0.9; // a link that does not decide its parent earns no mark
    EXPECT_EQ(lines()[1], "  Because Fraud is Yes (OVERIDDEN)(CONTRADICTION)/10");
}

TEST_F(ReportOnNetwork, NamesAreOneLineAndCyclesEndTheirBranch)
{
    build({"A B", "Two\r\nlines"}, "Two\r\nlines>A A>B B>A");
    EXPECT_EQ(lines(), (Names {"Two \nlines is unknown/5", "  A is unknown/5", "    B is unknown/5"}));
}

TEST_F(ReportOnNetwork, AnExternalNodeListsTheEnabledEvidenceOfItsLowerLevelNode)
{
    build({"Summary"}, "");
    net["Summary"]->setExternal(true);
    NetworkBuilder lower({"Shown Hidden", "Detail"});
    lower.links("Detail>Shown Detail>Hidden");
    lower["Detail"]->Links().Item(1)->DOT = 0.9;
    lower["Hidden"]->setEnabled(false);
    net["Summary"]->LowerLevelNode = lower["Detail"];

    EXPECT_EQ(lines(), (Names {"Summary is unknown/5", "  Shown is unknown/9"}));
}
