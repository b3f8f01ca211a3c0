#include "NetworkBuilder.h"

#include "model/Property.h"
#include "model/clsControl.h"
#include "model/doubles/RecordingHostDisplay.h"
#include "model/doubles/TestNetwork.h"
#include "platform/doubles/FixedClock.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

// The copy's node with the same name.
std::shared_ptr<Node> twin(clsNetwork& copy, const std::shared_ptr<Node>& original)
{
    for (const auto& layer : copy.Layers()) {
        for (const auto& node : layer->Nodes()) {
            if (node->Name()->Text() == original->Name()->Text())
                return node;
        }
    }
    return nullptr;
}

class NetworkClone : public ::testing::Test {
protected:
    void SetUp() override
    {
        net.links("A>B A>C");
        toB = net["A"]->Links().Item(1);
        toB->WeightDeny = 0.1;
        toB->AlwaysDeny = true;
        toB->DOT = 0.75;
        toB->Active = false;
        toB->TooltipText = QStringLiteral("why B");
        network.Properties.Add(std::make_shared<Property>());
        network.Controls.Add(std::make_shared<clsControl>());
        network.Name()->setText(QStringLiteral("Title"));
        network.setScenarioName(QStringLiteral("Scenario"));
        network.PositiveColour = 5;
        network.setNewGUIDs(true);
        network.ShowAnswer = false;
        network.Overview = network.Saved = true;
        network.cintCounter = 40;
    }

    NetworkBuilder net {{"C B", "A"}};
    clsNetwork& network = *net.network;
    std::shared_ptr<Link> toB;
};

} // namespace

TEST_F(NetworkClone, CopyIsDeepAndKeepsIdentitiesAndLinks)
{
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    network.ParentDisplay = host;
    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);

    EXPECT_EQ(copy->GUID(), network.GUID());
    EXPECT_EQ(copy->ParentDisplay.lock(), host); // the only thing shared
    EXPECT_EQ(layerNames(*copy), layerNames(network));
    const auto a = twin(*copy, net["A"]), b = twin(*copy, net["B"]), c = twin(*copy, net["C"]);
    EXPECT_EQ(b->GUID, net["B"]->GUID);
    ASSERT_EQ(a->Links().Count(), 2);
    const auto link = a->Links().Item(1);
    EXPECT_EQ(link->ConnectionTo, b);
    EXPECT_EQ(link->ConnectionFrom.lock(), a);
    EXPECT_EQ(a->Links().Item(2)->ConnectionTo, c);
    EXPECT_EQ(std::tuple(link->WeightDeny, link->AlwaysDeny, link->DOT, link->Active, link->TooltipText),
              std::tuple(0.1, true, 0.75, false, QStringLiteral("why B")));
    EXPECT_EQ(b->Parents().Item(1).lock(), a);
    EXPECT_EQ(c->Parents().Item(1).lock(), a);

    EXPECT_EQ(copy->Layers().Item(2)->Network.lock(), copy);
    EXPECT_EQ(a->Network.lock(), copy);
    EXPECT_EQ(a->Layer.lock(), copy->Layers().Item(2));
    EXPECT_NE(copy->Properties.Item(1), network.Properties.Item(1));
    EXPECT_NE(copy->Controls.Item(1), network.Controls.Item(1));
    for (auto label : {&clsNetwork::Name, &clsNetwork::Author, &clsNetwork::Copyright, &clsNetwork::KBDescription})
        EXPECT_NE(((*copy).*label)(), (network.*label)());
    link->Weight = 0.99;
    EXPECT_EQ(toB->Weight, 0.5);
}

TEST_F(NetworkClone, CopyWithNewGuidsKeepsItsLinksJoined)
{
    const auto copy = network.Clone(true);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->GUID(), network.GUID());
    const auto a = twin(*copy, net["A"]), b = twin(*copy, net["B"]), c = twin(*copy, net["C"]);
    EXPECT_NE(a->GUID, net["A"]->GUID);
    EXPECT_NE(b->GUID, net["B"]->GUID);
    EXPECT_NE(b->GUID, c->GUID);
    EXPECT_EQ(a->Links().Item(1)->ConnectionTo, b);
    EXPECT_EQ(b->Parents().Item(1).lock(), a);
    // Nodes are numbered in layer order; the counter is the source's.
    EXPECT_EQ(std::tuple(c->NodeNumber, b->NodeNumber, a->NodeNumber), std::tuple(1, 2, 3));
    EXPECT_EQ(copy->cintCounter, 40);
}

TEST_F(NetworkClone, CopyTakesFieldsAndTheDocumentTypeOfItsFileName)
{
    // A dirty copy stamps the host's current network, but keeps the source's version.
    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock {0, QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5))};
    auto current = doubles::TestNetwork::create();
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    host->loaded = true;
    host->network = current;
    network.ParentDisplay = host;
    network.setDirty(true);
    network.setVersion(QStringLiteral("v7"));
    network.setFileName(QStringLiteral("scenario.xml"));
    network.NetworkType = 2;

    auto copy = network.Clone(false);
    EXPECT_TRUE(copy->Dirty());
    EXPECT_EQ(current->Version(), QStringLiteral("2025-01-02 03:04:05"));
    EXPECT_EQ(copy->Version(), QStringLiteral("v7"));
    EXPECT_EQ(copy->Name()->Text(), QStringLiteral("Title"));
    EXPECT_EQ(copy->ScenarioName(), QStringLiteral("Scenario"));
    EXPECT_EQ(copy->PositiveColour, 5);
    EXPECT_TRUE(copy->NewGUIDs());
    EXPECT_FALSE(copy->ShowAnswer);
    EXPECT_FALSE(copy->Overview || copy->Saved); // not copied
    EXPECT_EQ(std::pair(copy->NetworkType, copy->Structured), std::pair(qint16(2), false));

    network.setFileName(QStringLiteral("base.QKB"));
    network.NetworkType = 0;
    network.Structured = false;
    copy = network.Clone(false);
    EXPECT_EQ(std::pair(copy->NetworkType, copy->Structured), std::pair(qint16(1), true));
}

TEST_F(NetworkClone, CopyNeverFailsOnUnusualNetworks)
{
    const auto fresh = clsNetwork::create(); // labels never set
    const auto freshCopy = fresh->Clone(false);
    ASSERT_TRUE(freshCopy);
    EXPECT_TRUE(freshCopy->Layers().isEmpty());
    EXPECT_EQ(freshCopy->PollingInterval, 20);

    // A link to a node of another network is reported and left out; repeated GUIDs join
    // links to the last node that has them.
    NetworkBuilder elsewhere({"Stranger"});
    network.AddLink(net["A"], elsewhere["Stranger"]);
    const auto repeated = net.node(1, "Repeated");
    repeated->GUID = net["B"]->GUID;
    ReportedErrors reported;
    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);
    const auto a = twin(*copy, net["A"]);
    EXPECT_EQ(a->Links().Count(), 2);
    EXPECT_EQ(reported.count(), 1u);
    EXPECT_EQ(a->Links().Item(1)->ConnectionTo, twin(*copy, repeated));
}
