// One answer's propagation against the recursive definition walked along every path: on
// random layered networks both must leave the same final state.
#include "ModelTestSupport.h"

#include "model/Layer.h"
#include "model/basKelva.h"

#include <random>

using namespace kelvane;
using namespace kelvane::test;

namespace {

// A knowledge base drawn from a seed: a lower and a higher network of random layers, random
// links (weights, forcing flags, inactive ones), nodes disabled, irrelevant, in need of
// information, with defaults, own automatic answering and earlier answers, and lower-level
// nodes that hand their answers to nodes of the higher network. The same seed draws the
// same knowledge base.
struct RandomKnowledgeBase {
    explicit RandomKnowledgeBase(unsigned seed) : random(seed)
    {
        for (auto& network : networks)
            fill(*network);
        // Some nodes of the lower network stand behind nodes of the higher one.
        for (const auto& lower : nodesOf(*networks[0])) {
            if (chance(0.2))
                lower->HigherLevelNodes.Add(pick(nodesOf(*networks[1])));
        }
        automaticAnswering = chance(0.5);
    }

    void fill(doubles::TestNetwork& network)
    {
        const int layerCount = between(2, 6);
        for (int layer = 1; layer <= layerCount; ++layer) {
            const int width = between(1, 4);
            for (int i = 0; i < width; ++i)
                shape(network.addNode(static_cast<qint16>(layer)), network, layer);
        }
    }

    void shape(const std::shared_ptr<Node>& node, doubles::TestNetwork& network, int layer)
    {
        setAnswerTexts(*node, {"Yes", "Perhaps", "No"});
        node->AutoAnswer = chance(0.4);
        node->setEnabled(!chance(0.1));
        if (chance(0.1))
            addControl(*node, QStringLiteral("Irrelevant"), QStringLiteral("true"));
        if (chance(0.05))
            addControl(*node, QStringLiteral("Need Info"), QStringLiteral("true"));
        node->NoDefault = !chance(0.2);
        node->Default = value();
        if (chance(0.4))
            answerQuietly(*node, extreme());
        for (int lower = 1; lower < layer; ++lower) {
            for (const auto& evidence : network.layers.Item(lower)->Nodes()) {
                if (!chance(0.35))
                    continue;
                const auto link = network.link(node, evidence);
                setWeights(*link, extreme(), value(), extreme());
                link->AlwaysDeny = chance(0.4);
                link->AlwaysAffirm = chance(0.4);
                link->Active = !chance(0.1);
                link->DOT = value();
            }
        }
    }

    static std::vector<std::shared_ptr<Node>> nodesOf(doubles::TestNetwork& network)
    {
        std::vector<std::shared_ptr<Node>> nodes;
        for (const auto& layer : network.layers)
            for (const auto& node : layer->Nodes())
                nodes.push_back(node);
        return nodes;
    }

    std::vector<std::shared_ptr<Node>> allNodes() const
    {
        auto nodes = nodesOf(*networks[0]);
        const auto higher = nodesOf(*networks[1]);
        nodes.insert(nodes.end(), higher.begin(), higher.end());
        return nodes;
    }

    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random) < p; }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    double value() { return between(0, 4) / 4.0; } // exact halves come up often
    double extreme() { return chance(0.6) ? between(0, 1) : value(); } // and so do forcing links
    template <class T>
    const T& pick(const std::vector<T>& items) { return items[std::size_t(between(0, int(items.size()) - 1))]; }

    std::mt19937 random;
    std::shared_ptr<doubles::TestNetwork> networks[2] {doubles::TestNetwork::create(), doubles::TestNetwork::create()};
    bool automaticAnswering = false;
};

// What propagation leaves: every node's answer, whether it counts and whether it has a
// contradiction, the value of every link that counts, and the contradiction each node reports
// when asked aloud. (A link whose evidence does not count keeps whatever value the walk last
// left on it; no answer depends on it.)
std::vector<std::string> finalState(const RandomKnowledgeBase& knowledgeBase, platform::doubles::ScriptedUiServices& ui)
{
    std::vector<std::string> state;
    for (const auto& node : knowledgeBase.allNodes()) {
        std::string line = node->Name()->Text().toStdString() + " " + std::to_string(node->DOT) + " "
            + (node->Answered ? "answered " : "") + (node->Contradiction ? "contradiction " : "");
        for (const auto& link : node->Links()) {
            const auto& evidence = *link->ConnectionTo;
            const bool counts = link->Active && evidence.Enabled() && evidence.Answered && !evidence.NeedInfo();
            line += counts ? std::to_string(link->DOT) + " " : std::string("- ");
        }
        state.push_back(line);
    }
    ui.messageBoxes.clear();
    for (const auto& node : knowledgeBase.allNodes())
        basKelva::CalculateAnswer(node);
    for (const auto& box : ui.messageBoxes)
        state.push_back(box.text.toStdString());
    return state;
}

class AnswerCascadeTest : public ModelTest {};

} // namespace

TEST_F(AnswerCascadeTest, EndsWhereTheWalkAlongEveryPathEnds)
{
    int contradictions = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        const auto answerOnce = [&](bool everyPath) {
            RandomKnowledgeBase knowledgeBase(seed);
            basGlobal::Settings.AutoAnswer = knowledgeBase.automaticAnswering;
            const auto nodes = knowledgeBase.allNodes();
            const auto& answered = knowledgeBase.pick(nodes);
            answered->DOT = knowledgeBase.extreme();
            if (everyPath)
                basKelva::PropogateAnswerAlongEveryPath(answered);
            else
                basKelva::PropogateAnswer(answered);
            return finalState(knowledgeBase, ui.get());
        };
        const auto expected = answerOnce(true);
        const auto actual = answerOnce(false);
        ASSERT_EQ(actual, expected) << "seed " << seed;
        contradictions += int(expected.size() - RandomKnowledgeBase(seed).allNodes().size());
    }
    EXPECT_GT(contradictions, 10); // the draws do reach contradictions
}

TEST_F(AnswerCascadeTest, CostGrowsWithTheNetworkNotWithItsPaths)
{
    // Two nodes a layer, each linked to both nodes below: 2^39 paths lead to the top.
    basGlobal::Settings.AutoAnswer = true;
    constexpr int layers = 40;
    for (int layer = 1; layer <= layers; ++layer) {
        for (qint16 i = 1; i <= 2; ++i) {
            const auto node = network->addNode(layer);
            if (layer > 1) {
                setWeights(*network->link(node, network->node(layer - 1, 1)), 0.5, 0.5, 0.9);
                setWeights(*network->link(node, network->node(layer - 1, 2)), 0.5, 0.5, 0.9);
            }
        }
    }
    network->node(1, 1)->setAnswer(1.0);
    EXPECT_TRUE(network->node(layers, 2)->Answered);
    EXPECT_GT(network->node(layers, 2)->Answer(), 0.5);
    EXPECT_LT(ui->yields, 20 * layers);

    // A chain thousands of nodes deep is answered to its top without exhausting the stack.
    auto chain = doubles::TestNetwork::create();
    constexpr int depth = 20000;
    std::shared_ptr<Node> below;
    for (int layer = 1; layer <= depth; ++layer) {
        const auto node = chain->addNode(1);
        if (below)
            setWeights(*chain->link(node, below), 0.5, 0.5, 1.0);
        below = node;
    }
    chain->node(1, 1)->setAnswer(1.0);
    EXPECT_TRUE(below->Answered);
    EXPECT_DOUBLE_EQ(below->Answer(), 1.0);
    basKelva::UpdateDOTChildren(below);
    basKelva::UnanswerParents(chain->node(1, 1));
    EXPECT_FALSE(below->Answered);
}
