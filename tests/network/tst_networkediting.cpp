#include "NetworkBuilder.h"

#include "model/clsControl.h"
#include "model/doubles/RecordingHostDisplay.h"
#include "model/doubles/TestNetwork.h"
#include "network/NetworkRecompute.h"
#include "platform/doubles/FixedClock.h"

#include <limits>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class NetworkEditing : public ::testing::Test {
protected:
    // Shows the network on a recording host whose current network is another one.
    void showOn(bool loaded, bool connected)
    {
        host->loaded = loaded;
        host->connected = connected;
        host->network = current;
        net.network->ParentDisplay = host;
    }
    QString wholeNetworkText() const
    {
        return QStringLiteral("<kelvanenetwork>\r\n") + net.network->SerializeOutXML() + QStringLiteral("</kelvanenetwork>\r\n");
    }

    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock {0, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))};
    NetworkBuilder net {{"B C", "A"}};
    clsNetwork& network = *net.network;
    std::shared_ptr<doubles::TestNetwork> current = doubles::TestNetwork::create();
    std::shared_ptr<doubles::RecordingHostDisplay> host = std::make_shared<doubles::RecordingHostDisplay>();
};

} // namespace

TEST_F(NetworkEditing, AddNodeAppendsLayersAndGivesTheNodeItsNumberAndControls)
{
    for (const char* name : {"Slider", "SLIDER", "Need Info"}) { // a repeated name keeps the first
        network.Controls.Add(std::make_shared<clsControl>());
        network.Controls.Item(network.Controls.Count())->Name = QString::fromLatin1(name);
    }
    network.Controls.Item(1)->Value = QStringLiteral("first");

    ASSERT_TRUE(network.AddNode(4));
    EXPECT_EQ(layerIndexes(network), (std::vector<int> {1, 2, 3, 4}));
    const auto node = network.Layers().Item(4)->Nodes().Item(1);
    EXPECT_EQ(node->NodeNumber, 4);
    EXPECT_EQ(node->NodeIndex, 1);
    EXPECT_EQ(node->Layer.lock(), network.Layers().Item(4));
    EXPECT_EQ(node->Network.lock(), net.network);
    EXPECT_EQ(network.Layers().Item(3)->Network.lock(), net.network);
    ASSERT_EQ(node->Controls().Count(), 2);
    EXPECT_EQ(node->Controls().Item(QStringLiteral("slider"))->Value, QStringLiteral("first"));
    EXPECT_NE(node->Controls().Item(1), network.Controls.Item(1)); // a copy of its own
    EXPECT_EQ(network.NodeCount(), 4);

    EXPECT_FALSE(network.AddNode(0));
    network.cintCounter = std::numeric_limits<qint32>::max();
    EXPECT_FALSE(network.AddNode(1)); // the node number would overflow
    EXPECT_EQ(network.NodeCount(), 4);
}

TEST_F(NetworkEditing, InsertLayerPutsAnEmptyLayerFirst)
{
    const auto formerFirst = network.Layers().Item(1);
    ASSERT_TRUE(network.InsertLayer());
    EXPECT_EQ(layerNames(network), (Names {"", "B C", "A"}));
    EXPECT_EQ(layerIndexes(network), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(network.Layers().Item(2), formerFirst);
}

TEST_F(NetworkEditing, LayersStopAtTheHighestNumberADocumentCanHold)
{
    ASSERT_TRUE(network.AddNode(32767));
    const auto first = network.Layers().Item(1);
    EXPECT_FALSE(network.AddLayer());
    EXPECT_FALSE(network.InsertLayer());
    EXPECT_FALSE(network.AddNode(32768));
    EXPECT_EQ(network.Layers().Count(), 32767);
    EXPECT_EQ(network.Layers().Item(1), first);
    EXPECT_EQ(first->Index, 1);
}

TEST_F(NetworkEditing, LinksKeepBothEndsAndTheParentEntries)
{
    net.links("A>B A>C");
    EXPECT_EQ(net["B"]->Default, 0); // an author's link makes the evidence default false
    EXPECT_EQ(net["A"]->Links().Item(1)->ConnectionFrom.lock(), net["A"]);
    EXPECT_EQ(net["B"]->Parents().Item(1).lock(), net["A"]);

    EXPECT_FALSE(network.DeleteLink(net["B"], net["A"]));
    ASSERT_TRUE(network.DeleteLink(net["A"], net["B"]));
    ASSERT_EQ(net["A"]->Links().Count(), 1);
    EXPECT_EQ(net["A"]->Links().Item(1)->ConnectionTo, net["C"]);
    EXPECT_TRUE(net["B"]->Parents().isEmpty());

    net["C"]->Parents().Clear(); // a link without its parent entry cannot be deleted
    EXPECT_FALSE(network.DeleteLink(net["A"], net["C"]));
    EXPECT_EQ(net["A"]->Links().Count(), 1);
}

TEST_F(NetworkEditing, DeleteNodeRemovesEveryTraceOfTheNode)
{
    NetworkBuilder tall({"B", "M", "T U"});
    tall.links("T>M U>M M>B");
    NetworkBuilder higher({"X"});
    const auto external = higher["X"];
    external->setExternal(true);
    external->LowerLevelNode = tall["M"];
    external->LowerLevelNetwork = tall.network;
    tall["M"]->HigherLevelNodes.Add(external);

    ASSERT_TRUE(tall.network->DeleteNode(tall["M"]));
    EXPECT_EQ(layerNames(*tall.network), (Names {"B", "", "T U"}));
    EXPECT_TRUE(tall["T"]->Links().isEmpty());
    EXPECT_TRUE(tall["U"]->Links().isEmpty());
    EXPECT_TRUE(tall["B"]->Parents().isEmpty()); // the deleted node is no parent any more
    EXPECT_FALSE(external->External());
    EXPECT_FALSE(external->LowerLevelNode);
    EXPECT_FALSE(external->LowerLevelNetwork);
}

TEST_F(NetworkEditing, FileNameSetsTheDocumentTypeFromTheExtension)
{
    struct Case {
        const char* name;
        bool structured;
        int type;
    };
    // Each starts from Structured true and type 2, so that "unchanged" shows.
    for (const Case& c : {Case {"kb.qkt", true, 0}, Case {"kb.QkB", true, 1}, Case {"C:\\x\\~kb.tmp", true, 1},
                          Case {"a.qks", true, 2}, Case {"a.Xml", false, 2}, Case {"a.qsn", true, 2}, Case {".QKB", true, 2}}) {
        network.Structured = true;
        network.NetworkType = 2;
        network.Saved = true;
        network.setFileName(QString::fromLatin1(c.name));
        EXPECT_EQ(network.FileName(), QString::fromLatin1(c.name));
        EXPECT_EQ(network.Structured, c.structured) << c.name;
        EXPECT_EQ(network.NetworkType, c.type) << c.name;
        EXPECT_FALSE(network.Saved) << c.name;
    }
}

TEST_F(NetworkEditing, DirtyStampsVersionsOnlyWhileTheHostIsLoaded)
{
    network.setVersion(QStringLiteral("earlier"));
    network.setDirty(true); // no host
    showOn(false, true);
    network.AddLayer();
    EXPECT_EQ(network.Version(), QStringLiteral("earlier"));

    showOn(true, false);
    network.AddLayer();
    EXPECT_TRUE(network.Dirty());
    EXPECT_EQ(network.Version(), QStringLiteral("2024-03-05 14:07:09"));
    EXPECT_EQ(current->Version(), QStringLiteral("2024-03-05 14:07:09"));
    EXPECT_TRUE(host->serverUpdates.empty()); // not connected: no update

    host.reset(); // a host that is gone is not called
    network.setVersion({});
    EXPECT_TRUE(network.AddLayer());
    EXPECT_TRUE(network.Version().isEmpty());
}

TEST_F(NetworkEditing, OnlineEditsSendTheirTextUnderTheHostsCurrentGuid)
{
    showOn(true, true);
    ASSERT_TRUE(network.AddNode(1));
    ASSERT_TRUE(network.InsertLayer());
    net.links("A>B");
    ASSERT_TRUE(network.DeleteLink(net["A"], net["B"]));
    EXPECT_FALSE(network.DeleteLink(net["A"], net["B"])); // nothing deleted, nothing sent
    ASSERT_TRUE(network.DeleteNode(net["C"]));

    ASSERT_EQ(host->serverUpdates.size(), 5u);
    const QString nodeText = net["A"]->SerializeOutXML();
    const QString texts[] = {QString(), QString(), QString(), nodeText, wholeNetworkText()};
    for (std::size_t i = 0; i < 5; ++i) {
        const auto& update = host->serverUpdates[i];
        EXPECT_EQ(update.guid, current->GUID());
        EXPECT_TRUE(update.unused.isEmpty());
        if (!texts[i].isEmpty()) {
            EXPECT_EQ(update.text, texts[i]);
        } else if (i != 2) {
            EXPECT_TRUE(update.text.startsWith(QStringLiteral("<kelvanenetwork>\r\n<network"))) << update.text.toStdString();
        }
    }
    // The link edit sends the holder's element as it stood then, with the new link.
    EXPECT_TRUE(host->serverUpdates[2].text.startsWith(QStringLiteral("<node nodeguid='") + net["A"]->GUID));
    EXPECT_TRUE(host->serverUpdates[2].text.contains(QStringLiteral("<link nodeguidref='") + net["B"]->GUID));
    EXPECT_TRUE(nodeText.contains(net["A"]->GUID));

    host->network = nullptr; // the change stays, the failing update makes the result false
    EXPECT_FALSE(network.AddLayer());
    EXPECT_EQ(network.Layers().Count(), 4);
}

TEST(NetworkRecompute, RecomputesLinksFromTheStoredAnswersBottomAndTop)
{
    NetworkBuilder net({"E", "M Side", "T"});
    net.links("M>E T>M Side>E");
    net["M"]->Links().Item(1)->WeightAffirm = 0.9;
    net["T"]->Links().Item(1)->WeightDeny = 0.3;
    net["Side"]->Links().Item(1)->WeightAffirm = 0.6;
    // Answers as a document holds them, without their effects on the links.
    net["E"]->DOT = 1;
    net["E"]->Answered = true;
    net["M"]->DOT = 0;
    net["M"]->Answered = true;

    Collection<std::shared_ptr<clsNetwork>> networks;
    networks.Add(clsNetwork::create()); // without layers: left alone
    networks.Add(net.network);
    RecomputeDegreesOfTruth(networks);

    EXPECT_DOUBLE_EQ(net["Side"]->Links().Item(1)->DOT, 0.6); // only through the parents of layer 1
    EXPECT_DOUBLE_EQ(net["M"]->Links().Item(1)->DOT, 0.9);
    EXPECT_DOUBLE_EQ(net["T"]->Links().Item(1)->DOT, 0.7); // through the last layer and below
}
