#include "NetworkBuilder.h"

#include "model/Property.h"
#include "model/clsControl.h"
#include "model/doubles/RecordingHostDisplay.h"
#include "model/doubles/TestNetwork.h"
#include "platform/doubles/FixedClock.h"

#include <gtest/gtest.h>

using namespace kelvane;
using kelvane::test::NetworkBuilder;
using kelvane::test::ReportedErrors;
using kelvane::test::layerNames;

namespace {

std::shared_ptr<TextLabel> labelWith(const char* text)
{
    auto label = std::make_shared<TextLabel>();
    label->setText(QString::fromLatin1(text));
    return label;
}

// A network A -> B, A -> C (A in layer 2) with its fields and settings filled in.
class NetworkClone : public ::testing::Test {
protected:
    void SetUp() override
    {
        c = build.node(1, QStringLiteral("C"));
        b = build.node(1, QStringLiteral("B"));
        a = build.node(2, QStringLiteral("A"));
        toB = build.link(a, b);
        toC = build.link(a, c);
        toB->WeightDeny = 0.1;
        toB->Weight = 0.2;
        toB->WeightAffirm = 0.9;
        toB->AlwaysDeny = true;
        toB->AlwaysAffirm = true;
        toB->DOT = 0.75;
        toB->Active = false;
        toB->TooltipText = QStringLiteral("why B");

        auto property = std::make_shared<Property>();
        property->Name = QStringLiteral("Owner");
        property->Value = Variant(QStringLiteral("Ann"));
        network.Properties.Add(property);
        auto control = std::make_shared<clsControl>();
        control->Name = QStringLiteral("Slider");
        network.Controls.Add(control);

        network.setName(labelWith("Title"));
        network.setAuthor(labelWith("Author"));
        network.setCopyright(labelWith("(c)"));
        network.setKBDescription(labelWith("About"));
        network.setVersion(QStringLiteral("v7"));
        network.setScenarioName(QStringLiteral("Scenario"));
        network.Password = QStringLiteral("pw");
        network.EditorPassword = QStringLiteral("epw");
        network.Description = QStringLiteral("desc");
        network.SupportURL = QStringLiteral("https://support.example/kb");
        network.PollingInterval = 45;
        network.Picture = QStringLiteral("splash.bmp");
        network.Background = QStringLiteral("back.bmp");
        network.BackColour = 1;
        network.NodeColour = 2;
        network.HighlightColour = 3;
        network.ShadowColour = 4;
        network.PositiveColour = 5;
        network.NegativeColour = 6;
        network.MoreInfoRoot = QStringLiteral("root");
        network.TooltipText = QStringLiteral("tip");
        network.setNewGUIDs(true);
        network.Index = 4;
        network.AutoAnswer = true;
        network.ShowAnswer = false;
        network.Overview = true;
        network.CompleteView = true;
        network.Saved = true;
        network.cintCounter = 40;
    }

    // The copy's node that stands for `original` (found by name).
    std::shared_ptr<Node> counterpart(clsNetwork& copy, const std::shared_ptr<Node>& original)
    {
        for (const auto& layer : copy.Layers()) {
            for (const auto& node : layer->Nodes()) {
                if (node->Name()->Text() == original->Name()->Text())
                    return node;
            }
        }
        return nullptr;
    }

    NetworkBuilder build;
    clsNetwork& network = *build.network;
    std::shared_ptr<Node> a, b, c;
    std::shared_ptr<Link> toB, toC;
};

} // namespace

TEST_F(NetworkClone, CopyKeepsIdentitiesLinksAndWeights)
{
    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);

    EXPECT_EQ(copy->GUID(), network.GUID());
    EXPECT_EQ(layerNames(*copy), layerNames(network));
    const auto a2 = counterpart(*copy, a);
    const auto b2 = counterpart(*copy, b);
    const auto c2 = counterpart(*copy, c);
    EXPECT_EQ(a2->GUID, a->GUID);
    EXPECT_EQ(b2->GUID, b->GUID);

    ASSERT_EQ(a2->Links().Count(), 2);
    const auto& link = a2->Links().Item(1);
    EXPECT_EQ(link->ConnectionTo, b2);
    EXPECT_EQ(link->ConnectionFrom.lock(), a2);
    EXPECT_EQ(link->WeightDeny, 0.1);
    EXPECT_EQ(link->Weight, 0.2);
    EXPECT_EQ(link->WeightAffirm, 0.9);
    EXPECT_TRUE(link->AlwaysDeny);
    EXPECT_TRUE(link->AlwaysAffirm);
    EXPECT_EQ(link->DOT, 0.75);
    EXPECT_FALSE(link->Active);
    EXPECT_EQ(link->TooltipText, QStringLiteral("why B"));
    EXPECT_EQ(a2->Links().Item(2)->ConnectionTo, c2);
    ASSERT_EQ(b2->Parents().Count(), 1);
    EXPECT_EQ(b2->Parents().Item(1).lock(), a2);
    EXPECT_EQ(c2->Parents().Item(1).lock(), a2);
}

TEST_F(NetworkClone, CopySharesNothingMutableButTheHost)
{
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    network.ParentDisplay = host;
    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);

    EXPECT_EQ(copy->ParentDisplay.lock(), host);
    for (qsizetype i = 1; i <= network.Layers().Count(); ++i) {
        const auto& layer = network.Layers().Item(i);
        const auto& layerCopy = copy->Layers().Item(i);
        EXPECT_NE(layer, layerCopy);
        EXPECT_EQ(layerCopy->Network.lock(), copy);
        for (qsizetype j = 1; j <= layer->Nodes().Count(); ++j) {
            const auto& nodeCopy = layerCopy->Nodes().Item(j);
            EXPECT_NE(nodeCopy, layer->Nodes().Item(j));
            EXPECT_EQ(nodeCopy->Layer.lock(), layerCopy);
            EXPECT_EQ(nodeCopy->Network.lock(), copy);
        }
    }
    const auto a2 = counterpart(*copy, a);
    EXPECT_NE(a2->Links().Item(1), toB);
    EXPECT_NE(copy->Properties.Item(1), network.Properties.Item(1));
    EXPECT_EQ(copy->Properties.Item(1)->Value.toString(), QStringLiteral("Ann"));
    EXPECT_NE(copy->Controls.Item(1), network.Controls.Item(1));
    EXPECT_NE(copy->Name(), network.Name());
    EXPECT_NE(copy->Author(), network.Author());
    EXPECT_NE(copy->Copyright(), network.Copyright());
    EXPECT_NE(copy->KBDescription(), network.KBDescription());

    a2->Links().Item(1)->Weight = 0.99;
    copy->Name()->setText(QStringLiteral("Other"));
    EXPECT_EQ(toB->Weight, 0.2);
    EXPECT_EQ(network.Name()->Text(), QStringLiteral("Title"));
}

TEST_F(NetworkClone, CopyWithNewGuidsKeepsItsLinksJoined)
{
    const auto copy = network.Clone(true);
    ASSERT_TRUE(copy);

    EXPECT_NE(copy->GUID(), network.GUID());
    const auto a2 = counterpart(*copy, a);
    const auto b2 = counterpart(*copy, b);
    const auto c2 = counterpart(*copy, c);
    for (const auto& [original, twin] : {std::pair {a, a2}, std::pair {b, b2}, std::pair {c, c2}}) {
        EXPECT_NE(twin->GUID, original->GUID);
        EXPECT_EQ(twin->GUID.size(), 44);
    }
    EXPECT_NE(b2->GUID, c2->GUID);
    EXPECT_EQ(a2->Links().Item(1)->ConnectionTo, b2);
    EXPECT_EQ(a2->Links().Item(2)->ConnectionTo, c2);
    EXPECT_EQ(b2->Parents().Item(1).lock(), a2);
}

TEST_F(NetworkClone, CopyNumbersNodesInLayerOrderButKeepsTheCounter)
{
    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);

    std::vector<int> numbers;
    for (const auto& layer : copy->Layers()) {
        for (const auto& node : layer->Nodes())
            numbers.push_back(node->NodeNumber);
    }
    EXPECT_EQ(numbers, (std::vector<int> {1, 2, 3}));
    EXPECT_EQ(copy->cintCounter, 40);
}

TEST_F(NetworkClone, CopyTakesTheFieldsAndSettings)
{
    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);

    EXPECT_EQ(copy->Name()->Text(), QStringLiteral("Title"));
    EXPECT_EQ(copy->Author()->Text(), QStringLiteral("Author"));
    EXPECT_EQ(copy->Copyright()->Text(), QStringLiteral("(c)"));
    EXPECT_EQ(copy->KBDescription()->Text(), QStringLiteral("About"));
    EXPECT_EQ(copy->Version(), QStringLiteral("v7"));
    EXPECT_EQ(copy->ScenarioName(), QStringLiteral("Scenario"));
    EXPECT_EQ(copy->Password, QStringLiteral("pw"));
    EXPECT_EQ(copy->EditorPassword, QStringLiteral("epw"));
    EXPECT_EQ(copy->Description, QStringLiteral("desc"));
    EXPECT_EQ(copy->SupportURL, QStringLiteral("https://support.example/kb"));
    EXPECT_EQ(copy->PollingInterval, 45);
    EXPECT_EQ(copy->Picture, QStringLiteral("splash.bmp"));
    EXPECT_EQ(copy->Background, QStringLiteral("back.bmp"));
    EXPECT_EQ((std::vector<qint32> {copy->BackColour, copy->NodeColour, copy->HighlightColour, copy->ShadowColour,
                                    copy->PositiveColour, copy->NegativeColour}),
              (std::vector<qint32> {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(copy->MoreInfoRoot, QStringLiteral("root"));
    EXPECT_EQ(copy->TooltipText, QStringLiteral("tip"));
    EXPECT_TRUE(copy->NewGUIDs());
    EXPECT_EQ(copy->Index, 4);
    EXPECT_TRUE(copy->AutoAnswer);
    EXPECT_FALSE(copy->ShowAnswer);
    // Not copied.
    EXPECT_FALSE(copy->Saved);
    EXPECT_FALSE(copy->Overview);
    EXPECT_FALSE(copy->CompleteView);
}

TEST_F(NetworkClone, CopyTakesTheDocumentTypeThroughItsFileName)
{
    network.setFileName(QStringLiteral("scenario.xml"));
    network.NetworkType = 2;
    network.Structured = true;
    auto copy = network.Clone(false);
    EXPECT_EQ(copy->FileName(), QStringLiteral("scenario.xml"));
    EXPECT_EQ(copy->NetworkType, 2);
    EXPECT_FALSE(copy->Structured);

    network.setFileName(QStringLiteral("base.QKB"));
    network.NetworkType = 0;
    network.Structured = false;
    copy = network.Clone(false);
    EXPECT_EQ(copy->NetworkType, 1);
    EXPECT_TRUE(copy->Structured);
}

TEST_F(NetworkClone, CopyOfADirtyNetworkStampsTheHostButKeepsTheVersion)
{
    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock {0, QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5))};
    auto current = doubles::TestNetwork::create();
    auto host = std::make_shared<doubles::RecordingHostDisplay>();
    host->loaded = true;
    host->network = current;
    network.ParentDisplay = host;
    network.setDirty(true);
    network.setVersion(QStringLiteral("v7"));
    current->setVersion({});

    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->Dirty());
    EXPECT_EQ(current->Version(), QStringLiteral("2025-01-02 03:04:05"));
    EXPECT_EQ(copy->Version(), QStringLiteral("v7"));
}

TEST_F(NetworkClone, FreshAndEmptyNetworksCopy)
{
    const auto fresh = clsNetwork::create();
    const auto copy = fresh->Clone(false);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GUID(), fresh->GUID());
    EXPECT_TRUE(copy->Layers().isEmpty());
    EXPECT_EQ(copy->SupportURL, fresh->SupportURL);
    EXPECT_EQ(copy->PollingInterval, 20);
    EXPECT_TRUE(copy->ShowAnswer);
    EXPECT_EQ(copy->BackColour, -1);
    EXPECT_TRUE(copy->Name()->Text().isEmpty());
}

TEST_F(NetworkClone, ALinkWithAMissingEndIsReportedAndLeftOut)
{
    // A link to a node of another network has no counterpart in the copy.
    NetworkBuilder elsewhere;
    const auto stranger = elsewhere.node(1);
    build.link(a, stranger);
    ReportedErrors reported;

    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);
    EXPECT_EQ(counterpart(*copy, a)->Links().Count(), 2);
    EXPECT_EQ(reported.count(), 1u);
}

TEST_F(NetworkClone, RepeatedGuidsJoinLinksToTheLastMatch)
{
    const auto twin = build.node(1, QStringLiteral("Twin"));
    twin->GUID = b->GUID;

    const auto copy = network.Clone(false);
    ASSERT_TRUE(copy);
    EXPECT_EQ(counterpart(*copy, a)->Links().Item(1)->ConnectionTo, counterpart(*copy, twin));
}
