#include "NetworkBuilder.h"

#include "model/Report.h"
#include "model/doubles/StubKnowledgeBase.h"

#include <random>
#include <set>

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

// --- Reports of networks with many paths ----------------------------------------------------------

namespace {

// The report as its definition reads, node by node along every path (a node already on the
// path ends its branch), for comparison.
class ReferenceReport {
public:
    explicit ReferenceReport(Report& report) : m_report(report) {}

    std::shared_ptr<ReportItem> item(const std::shared_ptr<Node>& node, const std::shared_ptr<Link>& link, bool conjunction)
    {
        if (!node || !m_path.insert(node.get()).second)
            return nullptr;
        qint16 icon = 5;
        if (link)
            icon = Report::GetNodeIcon(link->DOT);
        else if (node->Answered)
            icon = Report::GetNodeIcon(node->Answer());
        else if (!node->NoDefault)
            icon = Report::GetNodeIcon(node->Default);
        auto line = m_report.GetNodeReportItem(node, link, conjunction);
        line->Value = icon;
        for (const auto& evidence : node->Links()) {
            if (auto below = item(evidence->ConnectionTo, evidence, node->Answered))
                line->ReportItems().Add(below);
        }
        if (node->External() && node->LowerLevelNode) {
            for (const auto& evidence : node->LowerLevelNode->Links()) {
                if (!evidence->ConnectionTo->Enabled())
                    continue;
                if (auto below = item(evidence->ConnectionTo, evidence, node->Answered))
                    line->ReportItems().Add(below);
            }
        }
        m_path.erase(node.get());
        return line;
    }

    Collection<std::shared_ptr<ReportItem>> items(clsNetwork& network)
    {
        Collection<std::shared_ptr<ReportItem>> lines;
        for (qsizetype layer = network.Layers().Count(); layer >= 1; --layer) {
            for (const auto& node : network.Layers().Item(layer)->Nodes()) {
                if (node->Parents().isEmpty())
                    lines.Add(item(node, nullptr, false));
            }
        }
        return lines;
    }

private:
    Report& m_report;
    std::set<const Node*> m_path;
};

// Every line in reading order with all it holds, indented by its depth.
Names everything(const Collection<std::shared_ptr<ReportItem>>& items)
{
    Names result;
    const auto add = [&](const auto& self, const Collection<std::shared_ptr<ReportItem>>& level, int depth) -> void {
        for (const auto& item : level) {
            result.push_back(std::string(std::size_t(depth), ' ') + item->Text.toStdString() + "|" + std::to_string(item->Value)
                             + "|" + (item->Unknown ? "u" : "") + (item->Overwritten ? "o" : "") + (item->ByDefault ? "d" : "")
                             + (item->Contradiction ? "c" : "") + (item->Always ? "a" : "") + "|"
                             + item->Justification.toStdString());
            self(self, item->ReportItems(), depth + 1);
        }
    };
    add(add, items, 0);
    return result;
}

// How many different items the tree is made of.
std::size_t distinctItems(const Collection<std::shared_ptr<ReportItem>>& items)
{
    std::set<const ReportItem*> seen;
    std::vector<const ReportItem*> open;
    for (const auto& item : items)
        open.push_back(item.get());
    while (!open.empty()) {
        const ReportItem* item = open.back();
        open.pop_back();
        if (!seen.insert(item).second)
            continue;
        for (const auto& below : item->ReportItems())
            open.push_back(below.get());
    }
    return seen.size();
}

} // namespace

TEST_F(ReportOnNetwork, ReadsAsTheDefinitionReadsOnRandomNetworksWithCyclesAndLowerLevels)
{
    std::mt19937 random(5);
    const auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; };
    const auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 200; ++round) {
        build({}, "");
        NetworkBuilder lower({"L1 L2 L3", "L4"});
        lower.links("L4>L1 L4>L2 L4>L3");
        lower["L2"]->setEnabled(false);
        lower["L1"]->Answered = true; // listed with "Because" under an answered external node only
        lower["L1"]->DOT = 1;
        lower["L4"]->DOT = 1;
        lower["L4"]->Links().Item(1)->DOT = 0.75;
        std::vector<std::shared_ptr<Node>> nodes;
        const int count = between(3, 10);
        for (int i = 0; i < count; ++i) {
            const auto node = net.node(qint16(between(1, 4)), "N" + std::to_string(i));
            node->Answers.Add(std::make_shared<TextLabel>());
            node->Answers.Item(1)->setText(QStringLiteral("Yes"));
            node->Answers.Add(std::make_shared<TextLabel>());
            node->Answers.Item(2)->setText(QStringLiteral("No"));
            node->Answered = chance(0.5);
            node->DOT = between(0, 4) / 4.0;
            node->NoDefault = chance(0.5);
            node->Default = between(0, 4) / 4.0;
            node->Plural = chance(0.2);
            node->setOverridden(chance(0.2));
            node->Contradiction = chance(0.1);
            if (chance(0.2))
                node->Justification->setText(QStringLiteral("Because\rof %1").arg(i));
            if (chance(0.3)) {
                node->setExternal(true);
                node->LowerLevelNode = lower["L4"];
            }
            nodes.push_back(node);
        }
        for (const auto& node : nodes) {
            for (int k = between(0, 2); k > 0; --k) {
                const auto& evidence = nodes[std::size_t(between(0, count - 1))];
                if (evidence == node && !chance(0.3))
                    continue; // now and then a node is its own evidence
                net.network->AddLink(node, evidence);
                const auto& link = node->Links().Item(node->Links().Count());
                link->DOT = between(0, 4) / 4.0;
                link->AlwaysAffirm = chance(0.3);
                link->WeightAffirm = chance(0.5) ? 1 : 0.75;
            }
        }
        ReferenceReport reference(report);
        ASSERT_EQ(everything(report.ReportItems()), everything(reference.items(*net.network))) << "round " << round;
    }
}

TEST_F(ReportOnNetwork, ATreeOfManyPathsIsAsLargeAsItsNetwork)
{
    // Two nodes a layer, each the evidence of both nodes above: 2^17 paths from each top node.
    build({}, "");
    constexpr int layers = 18;
    for (int layer = 1; layer <= layers; ++layer) {
        for (int i = 0; i < 2; ++i) {
            const auto node = net.node(qint16(layer), "L" + std::to_string(layer) + "N" + std::to_string(i));
            if (layer > 1) {
                net.network->AddLink(node, net["L" + std::to_string(layer - 1) + "N0"]);
                net.network->AddLink(node, net["L" + std::to_string(layer - 1) + "N1"]);
            }
        }
    }
    answer("L1N0", 1);
    const auto items = report.ReportItems();
    ASSERT_EQ(items.Count(), 2);
    // One item for each link (each node's line below a link is shared by every line of the
    // link's holder) and one for each top node.
    EXPECT_LE(distinctItems(items), std::size_t(2 + 4 * (layers - 1)));

    // The first levels read as the definition reads them.
    const auto top = items.Item(1);
    EXPECT_EQ(top->Text, QStringLiteral("L18N0 is unknown"));
    ASSERT_EQ(top->ReportItems().Count(), 2);
    EXPECT_EQ(top->ReportItems().Item(2)->Text, QStringLiteral("L17N1 is unknown"));
    const auto other = items.Item(2);
    EXPECT_EQ(top->ReportItems().Item(1)->ReportItems().Item(1), other->ReportItems().Item(1)->ReportItems().Item(1))
        << "the line of L16N0 below L17N0 is one item, wherever L17N0 is listed";
}
