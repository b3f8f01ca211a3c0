#include "NetworkBuilder.h"

#include "model/doubles/RecordingHostDisplay.h"
#include "model/doubles/TestNetwork.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::NetworkBuilder;
using kelvane::test::ReportedErrors;
using kelvane::test::layerIndexes;
using kelvane::test::layerNames;
using Names = std::vector<std::string>;

namespace {

class LayerStructure : public ::testing::Test {
protected:
    std::shared_ptr<Node> node(qint16 layer, const char* name) { return build.node(layer, QString::fromLatin1(name)); }

    // Every link of the network leads to a strictly lower layer.
    bool layeringHolds()
    {
        for (const auto& layer : network.Layers()) {
            for (const auto& n : layer->Nodes()) {
                if (!network.CheckNode(n))
                    return false;
            }
        }
        return true;
    }

    NetworkBuilder build;
    clsNetwork& network = *build.network;
};

} // namespace

// --- Cycle and layering tests -----------------------------------------------------------------

TEST_F(LayerStructure, CheckLinkRefusesOnlyWhatTheStartNodeReaches)
{
    const auto c = node(1, "C");
    const auto b = node(2, "B");
    const auto a = node(3, "A");
    build.link(a, b);
    build.link(b, c);

    EXPECT_TRUE(network.CheckLink(3, 1, 1, 1));  // A from C: C has no links
    EXPECT_FALSE(network.CheckLink(1, 1, 3, 1)); // C from A: reached through B
    EXPECT_FALSE(network.CheckLink(2, 1, 3, 1)); // B from A: reached directly
    EXPECT_TRUE(network.CheckLink(3, 1, 3, 1));  // the start node itself is not compared
    EXPECT_FALSE(network.CheckLink(1, 1, 9, 1)); // no such start node
}

TEST_F(LayerStructure, CheckLinkTellsNodesApartByLayerAndPlace)
{
    const auto a = node(2, "A");
    node(1, "B");
    const auto c = node(1, "C");
    build.link(a, c);

    EXPECT_TRUE(network.CheckLink(1, 1, 2, 1));  // B is not reachable from A
    EXPECT_FALSE(network.CheckLink(1, 2, 2, 1)); // C is
}

TEST_F(LayerStructure, CheckNodeFindsLinksThatDoNotLeadDown)
{
    const auto top = node(4, "Top");
    const auto upper = node(3, "Upper");
    const auto left = node(2, "Left");
    const auto right = node(2, "Right");
    const auto bottom = node(1, "Bottom");
    build.link(top, upper);
    build.link(upper, left);
    build.link(left, bottom);
    EXPECT_TRUE(network.CheckNode(top));

    build.link(left, right); // same layer
    EXPECT_FALSE(network.CheckNode(left));
    EXPECT_FALSE(network.CheckNode(top)); // two links above the pair
    EXPECT_TRUE(network.CheckNode(right));
}

TEST_F(LayerStructure, ChecksStopOnACycleReadFromAFile)
{
    const auto a = node(2, "A");
    const auto b = node(1, "B");
    const auto c = node(1, "C");
    build.link(a, b);
    build.link(b, c);
    build.link(c, b);

    EXPECT_FALSE(network.CheckLink(2, 1, 2, 1)); // A is not reachable, but the walk meets the cycle
    EXPECT_FALSE(network.CheckNode(a));
}

TEST_F(LayerStructure, ChecksOnThirtyLayersOfCrossedLinksAnswerAtOnce)
{
    // Two nodes a layer, each linked to both nodes of the layer below: 2^29 paths from the top.
    std::shared_ptr<Node> below[2];
    for (qint16 layer = 1; layer <= 30; ++layer) {
        std::shared_ptr<Node> here[2] = {build.node(layer), build.node(layer)};
        if (layer > 1) {
            for (const auto& from : here) {
                for (const auto& to : below)
                    build.link(from, to);
            }
        }
        below[0] = here[0];
        below[1] = here[1];
    }

    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(network.CheckLink(30, 2, 30, 1)); // the other top node is not below
    EXPECT_FALSE(network.CheckLink(1, 2, 30, 1));
    EXPECT_TRUE(network.CheckNode(network.Layers().Item(30)->Nodes().Item(1)));
    EXPECT_LT(timer.elapsed(), 200);
}

// --- Moves ------------------------------------------------------------------------------------

TEST_F(LayerStructure, MoveNodeUpTakesAlongATargetItAloneHeld)
{
    const auto b = node(1, "B");
    const auto a = node(2, "A");
    build.link(a, b);

    ASSERT_TRUE(network.MoveNodeUp(a));
    EXPECT_EQ(layerNames(network), (Names {"", "B", "A"}));
    EXPECT_EQ(a->Layer.lock(), network.Layers().Item(3));
    EXPECT_EQ(b->Layer.lock(), network.Layers().Item(2));
}

TEST_F(LayerStructure, MoveNodeUpLeavesATargetHeldByAnotherParent)
{
    const auto b = node(1, "B");
    const auto a = node(2, "A");
    const auto other = node(2, "Other");
    build.link(a, b);
    build.link(other, b);

    ASSERT_TRUE(network.MoveNodeUp(a));
    EXPECT_EQ(layerNames(network), (Names {"B", "Other", "A"}));
}

TEST_F(LayerStructure, MoveNodeUpCarriesAChainAsFarAsItHangsFree)
{
    // A in 5 above B in 3 above C in 1: each is the only parent of the next, two layers apart.
    const auto c = node(1, "C");
    const auto b = node(3, "B");
    const auto a = node(5, "A");
    build.link(a, b);
    build.link(b, c);

    ASSERT_TRUE(network.MoveNodeUp(a));
    EXPECT_EQ(layerNames(network), (Names {"", "C", "", "B", "", "A"}));
}

TEST_F(LayerStructure, MoveNodeDownPutsTheNodeFirstInLayerOne)
{
    node(1, "X");
    node(1, "Y");
    const auto a = node(3, "A");
    node(3, "B");

    ASSERT_TRUE(network.MoveNodeDown(a));
    EXPECT_EQ(layerNames(network), (Names {"A X Y", "", "B"}));
    EXPECT_EQ(a->Layer.lock()->Index, 1);
    EXPECT_EQ(a->Index(), 1);
}

TEST_F(LayerStructure, MoveNodeDownOfALayerOneNodeChangesNothing)
{
    const auto x = node(1, "X");
    node(1, "Y");
    network.setDirty(false);

    EXPECT_FALSE(network.MoveNodeDown(x));
    EXPECT_EQ(layerNames(network), (Names {"X Y"}));
    EXPECT_FALSE(network.Dirty());
}

// --- Structure --------------------------------------------------------------------------------

TEST_F(LayerStructure, StructureLiftsANodeAboveItsEvidence)
{
    const auto a = node(1, "A");
    const auto b = node(1, "B");
    build.link(a, b);

    ASSERT_TRUE(network.Structure());
    EXPECT_EQ(layerNames(network), (Names {"B", "A"}));
}

TEST_F(LayerStructure, StructureLaysAChainOutOneLayerPerNode)
{
    const auto a = node(1, "A");
    const auto b = node(1, "B");
    const auto c = node(1, "C");
    build.link(a, b);
    build.link(b, c);

    ASSERT_TRUE(network.Structure());
    EXPECT_EQ(layerNames(network), (Names {"C", "B", "A"}));
}

TEST_F(LayerStructure, StructureEndsOnEvidenceWithTwoParents)
{
    // Lifting X alone cannot mend B -> C while Y holds B: B itself must rise.
    const auto x = node(1, "X");
    const auto y = node(1, "Y");
    const auto b = node(1, "B");
    const auto c = node(1, "C");
    build.link(x, b);
    build.link(y, b);
    build.link(b, c);

    ASSERT_TRUE(network.Structure());
    EXPECT_EQ(layerNames(network), (Names {"C", "B", "X Y"}));
}

TEST_F(LayerStructure, StructureLeavesAValidLayeringAsItIs)
{
    const auto a = node(3, "A");
    const auto b = node(1, "B");
    node(2, "Lone");
    build.link(a, b);

    ASSERT_TRUE(network.Structure());
    EXPECT_EQ(layerNames(network), (Names {"B", "Lone", "A"}));
}

TEST_F(LayerStructure, StructureRefusesACycleWithoutMovingAnything)
{
    const auto a = node(1, "A");
    const auto b = node(1, "B");
    build.link(a, b);
    build.link(b, a);
    ReportedErrors reported;

    EXPECT_FALSE(network.Structure());
    EXPECT_EQ(layerNames(network), (Names {"A B"}));
    EXPECT_EQ(reported.count(), 1u);
}

// --- ReStructure ------------------------------------------------------------------------------

TEST_F(LayerStructure, ReStructureRebuildsAValidChain)
{
    const auto a = node(1, "A");
    const auto b = node(2, "B");
    const auto c = node(3, "C");
    build.link(c, b);
    build.link(b, a);

    ASSERT_TRUE(network.ReStructure(false));
    EXPECT_EQ(layerNames(network), (Names {"A", "B", "C"}));
    EXPECT_EQ(layerIndexes(network), (std::vector<int> {1, 2, 3}));
}

TEST_F(LayerStructure, ReStructureGathersUnlinkedNodesInOneLayerTopLayersFirst)
{
    node(1, "A");
    node(1, "B");
    node(2, "C");
    node(3, "D");
    node(3, "E");

    ASSERT_TRUE(network.ReStructure(false));
    EXPECT_EQ(layerNames(network), (Names {"D E C A B"}));
    EXPECT_EQ(layerIndexes(network), (std::vector<int> {1}));
}

TEST_F(LayerStructure, ReStructureSendsNodesWithoutParentsToTheTop)
{
    const auto a = node(1, "A");
    const auto b = node(2, "B");
    const auto c = node(3, "C");
    node(1, "Lone");
    const auto side = node(2, "Side");
    build.link(c, b);
    build.link(b, a);
    build.link(side, a);

    ASSERT_TRUE(network.ReStructure(false));
    EXPECT_EQ(layerNames(network), (Names {"A", "B", "C Lone Side"}));
    EXPECT_TRUE(layeringHolds());
}

TEST_F(LayerStructure, ReStructureWithAnInvalidStartLiftsParentsFirst)
{
    // Parents placed below their evidence, as a complete view can start out.
    const auto p = node(1, "P");
    const auto q = node(1, "Q");
    const auto e = node(2, "E");
    const auto f = node(3, "F");
    build.link(p, e);
    build.link(q, e);
    build.link(e, f);

    for (bool invalidStart : {true, false}) {
        ASSERT_TRUE(network.ReStructure(invalidStart));
        EXPECT_EQ(layerNames(network), (Names {"F", "E", "P Q"})) << invalidStart;
        EXPECT_TRUE(layeringHolds());
    }
}

TEST_F(LayerStructure, ReStructureTellsTheHostAndSendsTheWholeNetwork)
{
    const auto a = node(1, "A");
    const auto b = node(1, "B");
    build.link(a, b);
    auto current = doubles::TestNetwork::create();
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    host->loaded = true;
    host->connected = true;
    host->network = current;
    network.ParentDisplay = host;

    ASSERT_TRUE(network.ReStructure(false));
    EXPECT_EQ(host->updateButtonsCalls, 1);
    ASSERT_FALSE(host->serverUpdates.empty());
    EXPECT_EQ(host->serverUpdates.back().guid, current->GUID());
    EXPECT_EQ(host->serverUpdates.back().text,
              QStringLiteral("<kelvanenetwork>\r\n") + network.SerializeOutXML() + QStringLiteral("</kelvanenetwork>\r\n"));
}

TEST_F(LayerStructure, ReStructureOfANetworkReadWithACycleFailsPromptly)
{
    // A ring of 200 nodes over 20 layers, closed from the bottom back to the top.
    std::shared_ptr<Node> first;
    std::shared_ptr<Node> previous;
    for (int i = 0; i < 200; ++i) {
        const auto n = build.node(static_cast<qint16>(20 - i / 10));
        if (previous)
            build.link(previous, n);
        else
            first = n;
        previous = n;
    }
    build.link(previous, first);
    const auto before = layerNames(network);

    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(network.ReStructure(false));
    EXPECT_FALSE(network.ReStructure(true));
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_EQ(layerNames(network), before);
}

TEST_F(LayerStructure, ReStructureOfANetworkWithoutLayersSucceeds)
{
    EXPECT_TRUE(network.ReStructure(false));
    EXPECT_TRUE(network.Layers().isEmpty());
}

TEST_F(LayerStructure, ReStructureLaysOutALongChainInOrder)
{
    // 150 nodes in one layer, each linked to the next: one layer per node, first node on top.
    std::vector<std::shared_ptr<Node>> chain;
    for (int i = 0; i < 150; ++i) {
        chain.push_back(build.node(1));
        if (i > 0)
            build.link(chain[i - 1], chain[i]);
    }

    ASSERT_TRUE(network.ReStructure(false));
    ASSERT_EQ(network.Layers().Count(), 150);
    EXPECT_EQ(chain.front()->Layer.lock()->Index, 150);
    EXPECT_EQ(chain.back()->Layer.lock()->Index, 1);
    EXPECT_TRUE(layeringHolds());
}
