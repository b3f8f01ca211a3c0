#include "NetworkBuilder.h"

#include "model/doubles/RecordingHostDisplay.h"
#include "model/doubles/TestNetwork.h"

#include <QElapsedTimer>

using namespace kelvane;
using namespace kelvane::test;

namespace {

struct LayeringCase {
    std::initializer_list<const char*> layers;
    const char* links;
    Names expected;
};

// Every link of the network leads to a strictly lower layer.
bool layeringHolds(clsNetwork& network)
{
    for (const auto& layer : network.Layers()) {
        for (const auto& node : layer->Nodes()) {
            if (!network.CheckNode(node))
                return false;
        }
    }
    return true;
}

} // namespace

TEST(LayeringTests, CheckLinkRefusesWhatTheStartNodeReaches)
{
    NetworkBuilder net({"C D", "B", "A"});
    net.links("A>B B>C");
    clsNetwork& network = *net.network;
    EXPECT_TRUE(network.CheckLink(3, 1, 1, 1));  // A from C: C has no links
    EXPECT_FALSE(network.CheckLink(1, 1, 3, 1)); // C from A, through B
    EXPECT_TRUE(network.CheckLink(1, 2, 3, 1));  // D is not reachable
    EXPECT_TRUE(network.CheckLink(3, 1, 3, 1));  // the start node itself is not compared
    EXPECT_FALSE(network.CheckLink(1, 1, 9, 1)); // no such start node

    net.links("C>B"); // a cycle read from a file
    EXPECT_FALSE(network.CheckLink(1, 2, 3, 1));
}

TEST(LayeringTests, CheckNodeFindsLinksThatDoNotLeadDown)
{
    NetworkBuilder net({"Bottom", "Left Right", "Upper", "Top"});
    net.links("Top>Upper Upper>Left Left>Bottom");
    EXPECT_TRUE(net.network->CheckNode(net["Top"]));
    net.links("Left>Right");
    EXPECT_FALSE(net.network->CheckNode(net["Left"]));
    EXPECT_FALSE(net.network->CheckNode(net["Top"])); // two links above the pair
    EXPECT_TRUE(net.network->CheckNode(net["Right"]));
}

TEST(LayeringTests, ChecksOnThirtyLayersOfCrossedLinksAnswerAtOnce)
{
    // Two nodes a layer, each linked to both nodes below: 2^29 paths from the top.
    NetworkBuilder net;
    for (qint16 layer = 1; layer <= 30; ++layer) {
        for (int i = 0; i < 2; ++i) {
            const auto node = net.node(layer);
            for (qint16 j = 1; layer > 1 && j <= 2; ++j)
                net.network->AddLink(node, net.network->Layers().Item(layer - 1)->Nodes().Item(j));
        }
    }
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(net.network->CheckLink(30, 2, 30, 1));
    EXPECT_FALSE(net.network->CheckLink(1, 2, 30, 1));
    EXPECT_TRUE(net.network->CheckNode(net.network->Layers().Item(30)->Nodes().Item(1)));
    EXPECT_LT(timer.elapsed(), 200);
}

TEST(LayerMoves, MoveNodeUpTakesAlongTargetsNoOtherParentHolds)
{
    NetworkBuilder alone({"B", "A"});
    alone.links("A>B");
    ASSERT_TRUE(alone.network->MoveNodeUp(alone["A"]));
    EXPECT_EQ(layerNames(*alone.network), (Names {"", "B", "A"}));

    NetworkBuilder held({"B", "A Other"});
    held.links("A>B Other>B");
    ASSERT_TRUE(held.network->MoveNodeUp(held["A"]));
    EXPECT_EQ(layerNames(*held.network), (Names {"B", "Other", "A"}));

    NetworkBuilder chain({"C", "", "B", "", "A"});
    chain.links("A>B B>C");
    ASSERT_TRUE(chain.network->MoveNodeUp(chain["A"]));
    EXPECT_EQ(layerNames(*chain.network), (Names {"", "C", "", "B", "", "A"}));
}

TEST(LayerMoves, MoveNodeDownPutsANodeFirstInLayerOneButNotOneAlreadyThere)
{
    NetworkBuilder net({"X Y", "", "A B"});
    ASSERT_TRUE(net.network->MoveNodeDown(net["A"]));
    EXPECT_EQ(layerNames(*net.network), (Names {"A X Y", "", "B"}));
    EXPECT_EQ(net["A"]->Layer.lock()->Index, 1);

    net.network->setDirty(false);
    EXPECT_FALSE(net.network->MoveNodeDown(net["X"]));
    EXPECT_EQ(layerNames(*net.network), (Names {"A X Y", "", "B"}));
    EXPECT_FALSE(net.network->Dirty());
}

TEST(LayerStructure, StructureLiftsNodesAboveTheirEvidence)
{
    const LayeringCase cases[] = {
        {{"A B"}, "A>B", {"B", "A"}},
        {{"A B C"}, "A>B B>C", {"C", "B", "A"}},
        // Lifting X alone cannot mend B>C while Y holds B: B itself must rise.
        {{"X Y B C"}, "X>B Y>B B>C", {"C", "B", "X Y"}},
        {{"B", "Lone", "A"}, "A>B", {"B", "Lone", "A"}},
    };
    for (const auto& c : cases) {
        NetworkBuilder net(c.layers);
        net.links(c.links);
        ASSERT_TRUE(net.network->Structure()) << c.links;
        EXPECT_EQ(layerNames(*net.network), c.expected) << c.links;
    }
}

TEST(LayerStructure, ReStructureLaysTheNetworkOutAnew)
{
    const LayeringCase cases[] = {
        {{"A", "B", "C"}, "C>B B>A", {"A", "B", "C"}},
        // Unlinked nodes gather in one layer, those of the top layer first.
        {{"A B", "C", "D E"}, "", {"D E C A B"}},
        // Nodes without parents go to the top.
        {{"A Lone", "B Side", "C"}, "C>B B>A Side>A", {"A", "B", "C Lone Side"}},
        {{"P Q", "E", "F"}, "P>E Q>E E>F", {"F", "E", "P Q"}},
    };
    for (const auto& c : cases) {
        for (bool invalidStart : {false, true}) {
            NetworkBuilder net(c.layers);
            net.links(c.links);
            ASSERT_TRUE(net.network->ReStructure(invalidStart)) << c.links;
            EXPECT_EQ(layerNames(*net.network), c.expected) << c.links << invalidStart;
            EXPECT_EQ(layerIndexes(*net.network).back(), static_cast<int>(c.expected.size()));
            EXPECT_TRUE(layeringHolds(*net.network));
        }
    }
    EXPECT_TRUE(clsNetwork::create()->ReStructure(false));
}

TEST(LayerStructure, ReStructureUpdatesTheHostAndSendsTheWholeNetwork)
{
    NetworkBuilder net({"A B"});
    net.links("A>B");
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    host->loaded = host->connected = true;
    host->network = net.network;
    net.network->ParentDisplay = host;

    ASSERT_TRUE(net.network->ReStructure(false));
    EXPECT_EQ(host->updateButtonsCalls, 1);
    EXPECT_EQ(host->serverUpdates.back().text,
              QStringLiteral("<kelvanenetwork>\r\n") + net.network->SerializeOutXML() + QStringLiteral("</kelvanenetwork>\r\n"));
}

TEST(LayerStructure, ANetworkReadWithACycleIsRefusedPromptlyAndLeftAsItWas)
{
    // A ring of 200 nodes over 20 layers, closed from the bottom back to the top.
    NetworkBuilder net;
    std::vector<std::shared_ptr<Node>> ring;
    for (int i = 0; i < 200; ++i) {
        ring.push_back(net.node(static_cast<qint16>(20 - i / 10), std::to_string(i)));
        if (i > 0)
            net.network->AddLink(ring[i - 1], ring[i]);
    }
    net.network->AddLink(ring.back(), ring.front());
    const auto before = layerNames(*net.network);
    ReportedErrors reported;

    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(net.network->Structure());
    EXPECT_FALSE(net.network->ReStructure(false));
    EXPECT_FALSE(net.network->ReStructure(true));
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_EQ(layerNames(*net.network), before);
    EXPECT_EQ(reported.count(), 3u);
}
