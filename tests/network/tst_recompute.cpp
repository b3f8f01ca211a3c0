// Recomputing the degrees of truth of an opened knowledge base against the walk that starts
// afresh from every node of the last layer: on random networks of thousands of nodes, laid
// out well or badly (links within a layer, chains in one layer), both must leave the same
// link values and contradictions.
#include "NetworkBuilder.h"

#include "model/basKelva.h"
#include "model/clsControl.h"
#include "network/NetworkRecompute.h"

#include <QScopeGuard>

#include <functional>
#include <limits>
#include <random>
#include <utility>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A network drawn from a seed: nodes spread over a few layers, each linked to earlier nodes
// of any layer (so the links never close a cycle, but often stay within a layer or lead
// upwards), with stored answers, disabled, irrelevant and uninformed nodes, inactive and
// forcing links, and link values left over from before. The same seed draws the same network.
class RandomNetwork {
public:
    RandomNetwork(unsigned seed, int nodeCount) : m_random(seed)
    {
        const int layerCount = between(1, 4);
        auto& made = nodes;
        for (int i = 0; i < nodeCount; ++i) {
            const auto node = builder.node(static_cast<qint16>(between(1, layerCount)));
            shape(*node);
            const int links = made.empty() ? 0 : between(0, 3);
            for (int k = 0; k < links; ++k) {
                // Mostly the node just made before, so long chains form.
                addLink(node, chance(0.5) ? made.back() : made[std::size_t(between(0, int(made.size()) - 1))]);
            }
            made.push_back(node);
        }
    }

    // Every node's contradiction and every link's value, in layer-then-node order.
    std::vector<double> state()
    {
        std::vector<double> values;
        for (const auto& layer : builder.network->Layers()) {
            for (const auto& node : layer->Nodes()) {
                values.push_back(node->Contradiction ? -1 : -2);
                for (const auto& link : node->Links())
                    values.push_back(link->DOT);
            }
        }
        return values;
    }

    // Every node's answer, whether it counts, and its texts: name, justification, control values.
    std::vector<QString> answers()
    {
        std::vector<QString> values;
        for (const auto& layer : builder.network->Layers()) {
            for (const auto& node : layer->Nodes()) {
                values.push_back(QString::number(node->DOT) + (node->Answered ? u'+' : u'-') + node->NameLabel()->Text()
                                 + u'/' + node->Justification->Text());
                for (const auto& control : node->Controls())
                    values.push_back(control->Value);
            }
        }
        return values;
    }

    // Links that lead from nodes to ones made shortly after, closing cycles.
    void closeCycles(int count)
    {
        for (int k = 0; k < count; ++k) {
            const auto from = between(0, int(nodes.size()) - 4);
            addLink(nodes[std::size_t(from)], nodes[std::size_t(from + between(1, 3))]);
        }
    }

    // A node of another network, answered, linked from (as evidence) or linking to (as a
    // parent) a few of the nodes.
    void linkOutside(bool asEvidence)
    {
        const auto stranger = outside.node(1);
        stranger->Answered = true;
        stranger->DOT = 1;
        for (int k = 0; k < 5; ++k) {
            const auto& node = nodes[std::size_t(between(0, int(nodes.size()) - 1))];
            asEvidence ? addLink(node, stranger) : addLink(stranger, node);
        }
    }

    NetworkBuilder builder;
    NetworkBuilder outside;
    std::vector<std::shared_ptr<Node>> nodes; // in the order they were made

private:
    void addLink(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to)
    {
        builder.network->AddLink(from, to);
        weigh(*from->Links().Item(from->Links().Count()));
    }

    void shape(Node& node)
    {
        node.Answers.Add(std::make_shared<TextLabel>());
        node.Answers.Add(std::make_shared<TextLabel>());
        node.setEnabled(!chance(0.1));
        if (chance(0.1)) {
            auto control = std::make_shared<clsControl>();
            control->Name = chance(0.5) ? QStringLiteral("Irrelevant") : QStringLiteral("Need Info");
            control->Value = QStringLiteral("true");
            control->Default = chance(0.5) ? QStringLiteral("true") : QString();
            node.Controls().Add(control, control->Name);
        }
        node.Justification->setText(QStringLiteral("why"));
        node.Answered = chance(0.6);
        node.DOT = between(0, 4) / 4.0;
        node.NoDefault = !chance(0.2);
    }

    void weigh(Link& link)
    {
        link.WeightDeny = extreme();
        link.Weight = between(0, 4) / 4.0;
        link.WeightAffirm = extreme();
        link.AlwaysDeny = chance(0.3);
        link.AlwaysAffirm = chance(0.3);
        link.Active = !chance(0.1);
        link.DOT = between(0, 4) / 4.0;
    }

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    double extreme() { return chance(0.6) ? between(0, 1) : between(0, 4) / 4.0; }

    std::mt19937 m_random;
};

// The walk as it was first written: the parents of each node of layer 1, then a walk of its
// own from each node of the last layer.
void recomputeFromEveryTopNode(clsNetwork& network)
{
    auto& layers = network.Layers();
    for (const auto& node : layers.Item(1)->Nodes())
        basKelva::UpdateDOTParents(node);
    for (const auto& node : layers.Item(layers.Count())->Nodes())
        basKelva::UpdateDOTChildren(node);
}

// Scripted UI services whose next message box runs a handler first, as a modal box runs the
// message loop while it is shown.
class HandlingMessageBox : public platform::doubles::ScriptedUiServices {
public:
    std::function<void()> handler;
    int messageBox(const QString& text, int style, const QString& title) override
    {
        if (handler)
            std::exchange(handler, nullptr)();
        return ScriptedUiServices::messageBox(text, style, title);
    }
};
using MessageBoxHandler = platform::ScopedService<platform::UiServices, HandlingMessageBox>;

// One node of layer 2 whose evidence is `count` nodes of layer 1, each answered true.
std::shared_ptr<Node> nodeOverAnsweredNodes(NetworkBuilder& builder, int count)
{
    const auto top = builder.node(2);
    for (int i = 0; i < count; ++i) {
        const auto evidence = builder.node(1);
        evidence->Answered = true;
        evidence->DOT = 1;
        builder.network->AddLink(top, evidence);
    }
    return top;
}

} // namespace

TEST(NetworkRecompute, LeavesWhatTheWalkFromEveryTopNodeLeavesOnRandomNetworks)
{
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    int contradictions = 0;
    for (unsigned seed = 1; seed <= 10; ++seed) {
        const int nodeCount = seed <= 2 ? 3000 : 300;
        RandomNetwork reference(seed, nodeCount);
        recomputeFromEveryTopNode(*reference.builder.network);
        RandomNetwork recomputed(seed, nodeCount);
        RecomputeDegreesOfTruth(*recomputed.builder.network);
        const auto expected = reference.state();
        ASSERT_EQ(recomputed.state(), expected) << "seed " << seed;
        contradictions += int(std::count(expected.begin(), expected.end(), -1.0));
    }
    EXPECT_GT(contradictions, 10); // the draws do reach contradictions
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST(NetworkRecompute, AChainInOneLayerIsWalkedOnce)
{
    // Each node of the chain answered, each link on its way to the top: the last layer is
    // the only layer, and every node of it reaches all the nodes after it.
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    const auto build = [] {
        auto builder = std::make_unique<NetworkBuilder>();
        std::shared_ptr<Node> above;
        for (int i = 0; i < 600; ++i) {
            const auto node = builder->node(1);
            node->Answered = true;
            node->DOT = i % 3 == 0 ? 1.0 : 0.25;
            if (above) {
                builder->network->AddLink(above, node);
                const auto& link = above->Links().Item(1);
                link->WeightDeny = 0.1;
                link->WeightAffirm = 0.9;
            }
            above = node;
        }
        return builder;
    };
    const auto reference = build();
    recomputeFromEveryTopNode(*reference->network);
    const auto recomputed = build();
    RecomputeDegreesOfTruth(*recomputed->network);
    const auto& expected = reference->network->Layers().Item(1)->Nodes();
    const auto& actual = recomputed->network->Layers().Item(1)->Nodes();
    for (qsizetype i = 1; i < expected.Count(); ++i)
        ASSERT_DOUBLE_EQ(actual.Item(i)->Links().Item(1)->DOT, expected.Item(i)->Links().Item(1)->DOT) << i;
    // The second node answered 0.25: halfway between Weight (0.5) and 1 - WeightDeny (0.9).
    EXPECT_DOUBLE_EQ(actual.Item(1)->Links().Item(1)->DOT, 0.7);
    EXPECT_DOUBLE_EQ(actual.Item(3)->Links().Item(1)->DOT, 0.9); // the fourth answered 1
}

TEST(NetworkRecompute, AParentSharedByManyNodesIsComputedOncePerPass)
{
    // Every computation of the top node meets its last link, whose weight gives no number,
    // and reports it: the reports count the computations.
    NetworkBuilder builder;
    const auto top = nodeOverAnsweredNodes(builder, 200);
    top->Links().Item(200)->WeightAffirm = std::numeric_limits<double>::infinity();
    ReportedErrors reported;
    RecomputeDegreesOfTruth(*builder.network);
    EXPECT_EQ(reported.count(), 2u); // once for the nodes of layer 1, once walking down from the top
}

TEST(NetworkRecompute, AHandlerRunWhileAFailureIsShownMayClearTheNetwork)
{
    // Putting a forcing link into words fails on an answer missing from its evidence; shown in
    // debug mode, the failure runs the message loop, where a handler deletes every node and the
    // layers. The recompute reads nothing let go, and ends.
    MessageBoxHandler ui;
    basLibrary::DebugMode = true;
    const auto debugModeOff = qScopeGuard([] { basLibrary::DebugMode = false; });
    NetworkBuilder builder;
    {
        const auto top = nodeOverAnsweredNodes(builder, 200);
        auto& forcing = *top->Links().Item(1);
        forcing.AlwaysAffirm = true;
        forcing.WeightAffirm = 1;
        forcing.ConnectionTo->Answers.Add(nullptr);
    }
    const auto network = builder.network;
    ui->handler = [&] {
        for (const auto& layer : network->Layers().Snapshot()) {
            for (const auto& node : layer->Nodes().Snapshot())
                network->DeleteNode(node);
        }
        network->Layers().Clear();
    };
    RecomputeDegreesOfTruth(*network);
    EXPECT_FALSE(ui->handler);
    EXPECT_EQ(ui->messageBoxes.size(), 1u);
}

TEST(NetworkRecompute, ResetAnswersLeavesWhatResettingEachNodeInTurnLeavesOnRandomNetworks)
{
    // Besides the drawn network: links closing cycles, the network listed twice, or evidence in
    // a network not listed, all reset together (yielding seldom); a parent in a network not
    // listed, or a higher-level node, makes the nodes be reset one by one.
    enum Shape { Cycles, ListedTwice, EvidenceOutside, ParentOutside, HigherLevel };
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const int nodeCount = seed <= 2 ? 2000 : 300;
        const auto shape = Shape(seed % 5);
        const auto draw = [&] {
            auto drawn = std::make_unique<RandomNetwork>(seed, nodeCount);
            if (shape == Cycles)
                drawn->closeCycles(20);
            else if (shape == EvidenceOutside || shape == ParentOutside)
                drawn->linkOutside(shape == EvidenceOutside);
            else if (shape == HigherLevel)
                drawn->nodes[5]->HigherLevelNodes.Add(drawn->nodes[0]);
            return drawn;
        };
        const int listings = shape == ListedTwice ? 2 : 1;
        const auto reference = draw();
        for (int listing = 0; listing < listings; ++listing) {
            for (const auto& layer : reference->builder.network->Layers())
                for (const auto& node : layer->Nodes().Snapshot())
                    node->Reset();
        }
        const auto reset = draw();
        Collection<std::shared_ptr<clsNetwork>> networks;
        for (int listing = 0; listing < listings; ++listing)
            networks.Add(reset->builder.network);
        const int yieldsBefore = ui->yields;
        ResetAnswers(networks);
        ASSERT_EQ(reset->state(), reference->state()) << "seed " << seed;
        ASSERT_EQ(reset->answers(), reference->answers()) << "seed " << seed;
        if (shape != ParentOutside && shape != HigherLevel) {
            EXPECT_LT(ui->yields - yieldsBefore, nodeCount / 10) << "seed " << seed;
        }
    }
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST(NetworkRecompute, ResetAnswersGoesOverAParentSharedByManyNodesOnce)
{
    // Resetting one node after the other updates the shared parent three times for each of its
    // nodes, yielding to the message loop after each update.
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    NetworkBuilder builder;
    const auto top = nodeOverAnsweredNodes(builder, 200);
    Collection<std::shared_ptr<clsNetwork>> networks;
    networks.Add(builder.network);
    ResetAnswers(networks);
    EXPECT_LT(ui->yields, 20);
    EXPECT_FALSE(top->Links().Item(200)->ConnectionTo->Answered);
}
