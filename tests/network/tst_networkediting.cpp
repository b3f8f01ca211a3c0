#include "NetworkBuilder.h"

#include "model/Page.h"
#include "network/NetworkRecompute.h"
#include "model/clsControl.h"
#include "model/doubles/RecordingHostDisplay.h"
#include "model/doubles/TestNetwork.h"
#include "platform/Service.h"
#include "platform/doubles/FixedClock.h"

#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::NetworkBuilder;
using kelvane::test::layerIndexes;
using kelvane::test::layerNames;

namespace {

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));
const QString kStamp = QStringLiteral("2024-03-05 14:07:09");

class NetworkEditing : public ::testing::Test {
protected:
    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock {0, kNow};
    NetworkBuilder build;
    clsNetwork& network = *build.network;
};

// A network shown by a recording host whose current network is `current`.
class OnlineNetwork : public NetworkEditing {
protected:
    void SetUp() override
    {
        host->loaded = true;
        host->connected = true;
        host->network = current;
        network.ParentDisplay = host;
    }

    QString wrapped() const
    {
        return QStringLiteral("<kelvanenetwork>\r\n") + network.SerializeOutXML() + QStringLiteral("</kelvanenetwork>\r\n");
    }

    std::shared_ptr<doubles::TestNetwork> current = doubles::TestNetwork::create();
    std::shared_ptr<doubles::RecordingHostDisplay> host = std::make_shared<doubles::RecordingHostDisplay>();
};

} // namespace

TEST_F(NetworkEditing, NewNetworkHasItsDefaults)
{
    EXPECT_EQ(network.GUID().size(), 44);
    EXPECT_NE(network.GUID(), clsNetwork::create()->GUID());
    EXPECT_FALSE(network.SupportURL.isEmpty());
    EXPECT_EQ(network.PollingInterval, 20);
    EXPECT_TRUE(network.ShowAnswer);
    EXPECT_FALSE(network.Dirty());
    for (qint32 colour : {network.BackColour, network.NodeColour, network.HighlightColour, network.ShadowColour,
                          network.PositiveColour, network.NegativeColour})
        EXPECT_EQ(colour, -1);
    // The four labels exist, empty, from the first read on.
    ASSERT_TRUE(network.Name());
    EXPECT_EQ(network.Name(), network.Name());
    EXPECT_TRUE(network.Author()->Text().isEmpty());
    EXPECT_TRUE(network.Copyright());
    EXPECT_TRUE(network.KBDescription());
    EXPECT_EQ(network.NodeCount(), 0);
}

TEST_F(NetworkEditing, AddNodeAppendsMissingLayersAndNumbersTheNode)
{
    build.node(1);
    build.node(1);
    ASSERT_TRUE(network.AddNode(3));

    ASSERT_EQ(network.Layers().Count(), 3);
    EXPECT_EQ(layerIndexes(network), (std::vector<int> {1, 2, 3}));
    const auto& node = network.Layers().Item(3)->Nodes().Item(1);
    EXPECT_EQ(node->NodeNumber, 3);
    EXPECT_EQ(network.cintCounter, 3);
    EXPECT_EQ(node->NodeIndex, 1);
    EXPECT_EQ(node->Layer.lock(), network.Layers().Item(3));
    EXPECT_EQ(node->Network.lock().get(), &network);
    EXPECT_EQ(network.Layers().Item(2)->Network.lock().get(), &network);
    EXPECT_EQ(network.NodeCount(), 3);
    EXPECT_TRUE(network.Dirty());
}

TEST_F(NetworkEditing, AddNodeRefusesABadLayerAndAnOverflowingCounter)
{
    EXPECT_FALSE(network.AddNode(0));
    EXPECT_EQ(network.NodeCount(), 0);

    network.cintCounter = 32767;
    EXPECT_FALSE(network.AddNode(1));
    EXPECT_EQ(network.NodeCount(), 0);
}

TEST_F(NetworkEditing, AddNodeGivesEachNodeItsOwnCopyOfTheControlDefinitions)
{
    auto makeDefinition = [](const QString& name, const QString& value) {
        auto definition = std::make_shared<clsControl>();
        definition->Name = name;
        definition->Value = value;
        return definition;
    };
    network.Controls.Add(makeDefinition(QStringLiteral("Slider"), QStringLiteral("first")));
    network.Controls.Add(makeDefinition(QStringLiteral("SLIDER"), QStringLiteral("second")));
    network.Controls.Add(makeDefinition(QStringLiteral("Need Info"), QStringLiteral("false")));

    const auto a = build.node(1);
    const auto b = build.node(1);

    // A repeated name keeps the first definition instead of failing half-way.
    ASSERT_EQ(a->Controls().Count(), 2);
    EXPECT_EQ(a->Controls().Item(QStringLiteral("slider"))->Value, QStringLiteral("first"));
    EXPECT_TRUE(a->Controls().Contains(QStringLiteral("NEED INFO")));
    EXPECT_NE(a->Controls().Item(1), network.Controls.Item(1));
    EXPECT_NE(a->Controls().Item(1), b->Controls().Item(1));
    a->Controls().Item(1)->Value = QStringLiteral("changed");
    EXPECT_EQ(b->Controls().Item(1)->Value, QStringLiteral("first"));
}

TEST_F(NetworkEditing, InsertLayerPutsAnEmptyLayerFirst)
{
    const auto a = build.node(1, QStringLiteral("A"));
    build.node(2, QStringLiteral("B"));
    const auto formerFirst = network.Layers().Item(1);

    ASSERT_TRUE(network.InsertLayer());

    EXPECT_EQ(layerNames(network), (std::vector<std::string> {"", "A", "B"}));
    EXPECT_EQ(layerIndexes(network), (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(network.Layers().Item(2), formerFirst);
    EXPECT_EQ(a->Layer.lock()->Index, 2);
    EXPECT_EQ(network.Layers().Item(1)->Network.lock().get(), &network);
}

TEST_F(NetworkEditing, AddLinkKeepsBothEndsAndMakesTheEvidenceDefaultFalse)
{
    const auto a = build.node(2);
    const auto b = build.node(1);
    ASSERT_EQ(b->Default, 0.5);

    const auto link = build.link(a, b);

    EXPECT_EQ(link->ConnectionTo, b);
    EXPECT_EQ(link->ConnectionFrom.lock(), a);
    EXPECT_EQ(b->Default, 0);
    ASSERT_EQ(b->Parents().Count(), 1);
    EXPECT_EQ(b->Parents().Item(1).lock(), a);
    EXPECT_TRUE(a->Parents().isEmpty());
}

TEST_F(NetworkEditing, DeleteLinkRemovesTheLinkAndOneParentEntry)
{
    const auto a = build.node(2);
    const auto b = build.node(1);
    const auto c = build.node(1);
    build.link(a, b);
    build.link(a, c);

    EXPECT_FALSE(network.DeleteLink(b, a)); // no such link
    ASSERT_TRUE(network.DeleteLink(a, b));

    ASSERT_EQ(a->Links().Count(), 1);
    EXPECT_EQ(a->Links().Item(1)->ConnectionTo, c);
    EXPECT_TRUE(b->Parents().isEmpty());
    EXPECT_EQ(c->Parents().Count(), 1);
    EXPECT_FALSE(network.DeleteLink(a, b));
}

TEST_F(NetworkEditing, DeleteLinkFailsWithoutChangeWhenTheParentEntryIsMissing)
{
    const auto a = build.node(2);
    const auto b = build.node(1);
    build.link(a, b);
    b->Parents().Clear();

    EXPECT_FALSE(network.DeleteLink(a, b));
    EXPECT_EQ(a->Links().Count(), 1);
}

TEST_F(NetworkEditing, DeleteNodeRemovesEveryLinkToItAndItsParentEntries)
{
    const auto top1 = build.node(3);
    const auto top2 = build.node(3);
    const auto middle = build.node(2);
    const auto bottom = build.node(1);
    const auto other = build.node(1);
    build.link(top1, middle);
    build.link(top2, middle);
    build.link(top2, other);
    build.link(middle, bottom);

    ASSERT_TRUE(network.DeleteNode(middle));

    EXPECT_TRUE(top1->Links().isEmpty());
    ASSERT_EQ(top2->Links().Count(), 1);
    EXPECT_EQ(top2->Links().Item(1)->ConnectionTo, other);
    EXPECT_TRUE(network.Layers().Item(2)->Nodes().isEmpty());
    EXPECT_EQ(network.NodeCount(), 4);
    // The deleted node keeps its own links, but its evidence no longer lists it.
    EXPECT_EQ(middle->Links().Count(), 1);
    EXPECT_TRUE(bottom->Parents().isEmpty());
}

TEST_F(NetworkEditing, DeleteNodeTurnsHigherLevelNodesIntoOrdinaryNodes)
{
    const auto deleted = build.node(1);
    NetworkBuilder higherLevel;
    const auto external = higherLevel.node(1);
    external->setExternal(true);
    external->LowerLevelNode = deleted;
    external->LowerLevelNetwork = build.network;
    deleted->HigherLevelNodes.Add(external);

    ASSERT_TRUE(network.DeleteNode(deleted));

    EXPECT_FALSE(external->External());
    EXPECT_FALSE(external->LowerLevelNode);
    EXPECT_FALSE(external->LowerLevelNetwork);
}

TEST_F(NetworkEditing, FileNameSetsTheDocumentTypeFromTheExtension)
{
    struct Case {
        const char* name;
        bool structured;
        qint16 type;
    };
    // Each case starts from Structured true and NetworkType 2, so "unchanged" shows.
    for (const Case& c : {Case {"kb.qkt", true, 0}, Case {"kb.QkB", true, 1}, Case {"C:\\x\\~kb.tmp", true, 1},
                          Case {"a.qks", true, 2}, Case {"a.Xml", false, 2}, Case {"a.qsn", true, 2},
                          Case {".QKB", true, 2}, Case {"", true, 2}}) {
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

TEST_F(NetworkEditing, PageIsANewViewOfThisNetworkEachTime)
{
    const auto first = network.Page();
    ASSERT_TRUE(first);
    EXPECT_NE(first, network.Page());
    EXPECT_EQ(first->GUID(), network.GUID());
    EXPECT_EQ(&first->Layers(), &network.Layers());
}

TEST_F(NetworkEditing, DirtyStampsNothingWithoutALoadedHost)
{
    network.setVersion(QStringLiteral("earlier"));
    network.setDirty(true);
    EXPECT_EQ(network.Version(), QStringLiteral("earlier"));

    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    host->connected = true;
    network.ParentDisplay = host;
    build.node(1);
    EXPECT_EQ(network.Version(), QStringLiteral("earlier"));
    EXPECT_TRUE(host->serverUpdates.empty());
}

TEST_F(NetworkEditing, DirtyStampsThisNetworkAndTheHostsCurrentOneWhileLoaded)
{
    auto current = doubles::TestNetwork::create();
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    host->loaded = true;
    host->network = current;
    network.ParentDisplay = host;

    network.setDirty(false);
    EXPECT_TRUE(network.Version().isEmpty());

    build.node(1);
    EXPECT_TRUE(network.Dirty());
    EXPECT_EQ(network.Version(), kStamp);
    EXPECT_EQ(current->Version(), kStamp);
    EXPECT_TRUE(host->serverUpdates.empty()); // loaded but not connected: no update
}

TEST_F(NetworkEditing, AGoneHostIsNoLongerCalled)
{
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    host->loaded = true;
    network.ParentDisplay = host;
    host.reset();

    EXPECT_TRUE(network.AddLayer());
    EXPECT_TRUE(network.Version().isEmpty());
}

TEST_F(OnlineNetwork, LayerAndNodeEditsSendTheWholeNetworkUnderTheHostsCurrentGuid)
{
    ASSERT_TRUE(network.AddLayer());
    ASSERT_TRUE(network.AddNode(1));
    ASSERT_TRUE(network.InsertLayer());

    ASSERT_EQ(host->serverUpdates.size(), 3u);
    const auto& last = host->serverUpdates.back();
    EXPECT_EQ(last.guid, current->GUID());
    EXPECT_NE(last.guid, network.GUID());
    EXPECT_EQ(last.text, wrapped());
    EXPECT_TRUE(last.text.startsWith(QStringLiteral("<kelvanenetwork>\r\n<network")));
    EXPECT_TRUE(last.unused.isEmpty());
}

TEST_F(OnlineNetwork, LinkEditsSendTheHoldersNodeElement)
{
    const auto a = build.node(2);
    const auto b = build.node(1);
    host->serverUpdates.clear();

    build.link(a, b);
    ASSERT_TRUE(network.DeleteLink(a, b));
    EXPECT_FALSE(network.DeleteLink(a, b)); // nothing deleted, nothing sent

    ASSERT_EQ(host->serverUpdates.size(), 2u);
    for (const auto& update : host->serverUpdates) {
        EXPECT_EQ(update.guid, current->GUID());
        EXPECT_EQ(update.text, a->SerializeOutXML());
        EXPECT_TRUE(update.text.contains(a->GUID));
    }

    ASSERT_TRUE(network.DeleteNode(b));
    EXPECT_EQ(host->serverUpdates.back().text, wrapped());
}

TEST_F(OnlineNetwork, AnEditSucceedsButReportsFailureWhenTheHostShowsNoNetwork)
{
    host->network = nullptr;
    EXPECT_FALSE(network.AddLayer());
    EXPECT_EQ(network.Layers().Count(), 1);
    EXPECT_TRUE(host->serverUpdates.empty());
}

TEST(NetworkRecompute, RecomputesLinksFromTheStoredAnswersBottomAndTop)
{
    NetworkBuilder build;
    const auto evidence = build.node(1);
    const auto middle = build.node(2);
    const auto top = build.node(3);
    const auto side = build.node(2); // a conclusion below the last layer
    const auto lower = build.link(middle, evidence);
    const auto upper = build.link(top, middle);
    const auto aside = build.link(side, evidence);
    lower->WeightAffirm = 0.9;
    aside->WeightAffirm = 0.6;
    upper->WeightDeny = 0.3;
    // Answers as a document holds them, without their effects on the links.
    evidence->DOT = 1;
    evidence->Answered = true;
    middle->DOT = 0;
    middle->Answered = true;

    Collection<std::shared_ptr<clsNetwork>> networks;
    networks.Add(clsNetwork::create()); // without layers: left alone
    networks.Add(build.network);
    RecomputeDegreesOfTruth(networks);

    EXPECT_DOUBLE_EQ(aside->DOT, 0.6); // only through the parents of layer 1
    EXPECT_DOUBLE_EQ(lower->DOT, 0.9);
    EXPECT_DOUBLE_EQ(upper->DOT, 0.7); // through the last layer and everything below it
}
