#include "ModelTestSupport.h"
#include "tests/support/ErrorAssertions.h"

#include "model/Layer.h"
#include "model/NodePlaceTable.h"
#include "model/Page.h"
#include "model/doubles/RecordingNodeButton.h"
#include "model/doubles/StubKnowledgeBase.h"

#include <QRandomGenerator>
#include <algorithm>
#include <optional>
#include <vector>

using namespace kelvane;
using namespace kelvane::test;

namespace {

using NodeTest = ModelTest;

} // namespace

TEST_F(NodeTest, NameDefaultsToTheNodeNumberAndRenamesTheButton)
{
    network->addNode(1);
    auto node = network->addNode(1);
    EXPECT_EQ(node->Name()->Text(), QStringLiteral("Node 2"));
    node->NodeNumber = 7;
    EXPECT_EQ(node->Name()->Text(), QStringLiteral("Node 2")); // the label keeps that text

    doubles::RecordingNodeButton button;
    node->Button = &button;
    node->setName(label(QStringLiteral("Is it &lt;hot&gt;?")));
    EXPECT_EQ(button.caption, QStringLiteral("Is it <hot>?"));
    node->setNameLabel(label(QStringLiteral("Other"))); // the inside-only writer leaves the button alone
    EXPECT_EQ(button.caption, QStringLiteral("Is it <hot>?"));
}

TEST_F(NodeTest, SelectingMovesTheFocusToTheButtonUnlessTheButtonSelects)
{
    auto node = network->addNode(1);
    doubles::RecordingNodeButton button;
    node->Button = &button;
    node->setSelected(true);
    node->setSelected(false);
    EXPECT_EQ(button.focusRequests, 1);

    basGlobal::NarratorSelecting = true;
    node->setSelected(true);
    EXPECT_EQ(button.focusRequests, 1);
    basGlobal::NarratorSelecting = false;

    button.refuseFocus = true;
    node->setSelected(true); // a refused focus is ignored
    EXPECT_TRUE(node->Selected());
}

TEST_F(NodeTest, IndexIsThePlaceInTheLayerOfTheNodeNumber)
{
    network->addNode(1);
    auto second = network->addNode(1);
    EXPECT_EQ(second->Index(), 2);
    auto stranger = std::make_shared<Node>();
    stranger->Layer = second->Layer;
    stranger->NodeNumber = 99;
    EXPECT_EQ(stranger->Index(), 0);
    stranger->NodeNumber = 1; // found by its number, not as the object itself
    EXPECT_EQ(stranger->Index(), 1);
}

TEST_F(NodeTest, RequiredLooksThroughEveryLinkAndTheLowerLevelNode)
{
    auto top = network->addNode(3);
    auto middle = network->addNode(2);
    auto bottom = network->addNode(1);
    network->link(top, middle)->Active = false;
    network->link(middle, bottom);
    top->setEnabled(false);
    addControl(*bottom, QStringLiteral("NEEDINFO"), QStringLiteral("TRUE"));
    EXPECT_FALSE(top->Required());
    addControl(*bottom, QStringLiteral("need info"), QStringLiteral("true"));
    EXPECT_TRUE(bottom->NeedInfo());
    EXPECT_TRUE(top->Required()); // two levels down, through an inactive link

    auto external = network->addNode(1);
    external->LowerLevelNode = middle;
    EXPECT_TRUE(external->Required());

    // Names are compared in upper case, where a dotless i is an I.
    addControl(*middle, QStringLiteral("\u0131rrelevant"), QStringLiteral("True"));
    EXPECT_TRUE(middle->Irrelevant());
}

TEST_F(NodeTest, ReOrderLinksSortsByRelativePlaceWithTiesReversed)
{
    auto conclusion = network->addNode(3);
    for (int i = 0; i < 3; ++i)
        network->addNode(1);
    network->addNode(2);
    network->addNode(2);
    auto thirdOfThree = network->link(conclusion, network->node(1, 3));
    auto firstOfTwo = network->link(conclusion, network->node(2, 1));
    conclusion->ReOrderLinks();
    EXPECT_EQ(conclusion->Links().Snapshot(), (std::vector {firstOfTwo, thirdOfThree}));

    // Three links at the right-hand end come out in reverse of their former order.
    auto secondOfTwo = network->link(conclusion, network->node(2, 2));
    auto thirdAgain = network->link(conclusion, network->node(1, 3));
    conclusion->ReOrderLinks();
    EXPECT_EQ(conclusion->Links().Snapshot(), (std::vector {firstOfTwo, thirdAgain, secondOfTwo, thirdOfThree}));
}

TEST_F(NodeTest, ResetRestoresControlsDefaultAndClearsTheConsultationState)
{
    auto node = network->addNode(1);
    auto control = addControl(*node, QStringLiteral("Colour"), QStringLiteral("Red"), QStringLiteral("Blue"));
    node->NoDefault = false;
    node->Default = 0.8;
    node->setAnswer(0.1);
    node->setOverridden(true);
    node->Justification->setText(QStringLiteral("Because <A HREF='x'>so</A>"));

    node->Reset();
    EXPECT_EQ(control->Value, QStringLiteral("Blue"));
    EXPECT_FALSE(node->Overridden());
    EXPECT_DOUBLE_EQ(node->Answer(), 0.8);
    EXPECT_FALSE(node->Answered);
    EXPECT_EQ(node->Justification->HTML, QString());

    node->NoDefault = true;
    node->Reset();
    EXPECT_DOUBLE_EQ(node->Answer(), 0.5);
}

TEST_F(NodeTest, EditsGoToTheLayersOwnNetworkElseToTheKnowledgeBases)
{
    auto knowledgeBase = std::make_shared<doubles::StubKnowledgeBase>();
    auto mainNetwork = doubles::TestNetwork::create();
    knowledgeBase->network = mainNetwork;

    // A layer of a lower-level network: its own network gets the edits.
    auto from = network->addNode(2);
    auto to = network->addNode(1);
    for (const auto& layer : network->layers)
        layer->KnowledgeBase = knowledgeBase;
    from->AddLink(to);
    network->layers.Item(1)->AddNode();
    EXPECT_EQ(network->addLinkCalls, 1);
    EXPECT_EQ(network->layers.Item(1)->Nodes().Count(), 2);
    EXPECT_EQ(mainNetwork->addLinkCalls + mainNetwork->addNodeCalls, 0);

    // A layer without a network of its own.
    auto loose = std::make_shared<Layer>();
    loose->Index = 2;
    loose->KnowledgeBase = knowledgeBase;
    auto looseNode = std::make_shared<Node>();
    looseNode->Layer = loose;
    loose->AddNode();
    looseNode->AddLink(to);
    EXPECT_EQ(mainNetwork->layers.Count(), 2);
    EXPECT_EQ(mainNetwork->addLinkCalls, 1);
}

TEST_F(NodeTest, EditsWithoutAnyNetworkFail)
{
    basLibrary::DebugMode = true;
    auto layer = std::make_shared<Layer>();
    layer->AddNode();
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes[0].text.startsWith(QStringLiteral("Error in routine: AddNode in module: Layer\r[91] ")));

    // The node's own members leave the error to their caller.
    auto node = std::make_shared<Node>();
    EXPECT_EQ(errorNumberOf([&] { node->AddLink(node); }), err::ObjectNotSet);
    node->Layer = layer;
    EXPECT_EQ(errorNumberOf([&] { node->AddLink(node); }), err::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { node->LowerLevelPage(); }), err::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([] { Page().GUID(); }), err::ObjectNotSet);

    node->LowerLevelNetwork = network;
    EXPECT_EQ(&node->LowerLevelPage()->Layers(), &network->layers); // the network's own collection
}

TEST_F(NodeTest, ALayerReleasesNodesWhoseReferencesFormACycle)
{
    std::weak_ptr<Node> watched;
    {
        auto cyclic = doubles::TestNetwork::create();
        auto a = cyclic->addNode(2);
        auto b = cyclic->addNode(1);
        cyclic->link(a, b);
        cyclic->link(b, a);
        b->LowerLevelNode = a;
        watched = a;
    }
    EXPECT_TRUE(watched.expired());
}

TEST(NodePlaceTable, ForgottenPlacesAreGivenAgainAndTheNodesBeforeThemKeepTheirs)
{
    // Nodes come, known and new, and the places from a random one on are forgotten, round
    // after round, the table growing on the way.
    std::vector<std::shared_ptr<Node>> nodes;
    for (int i = 0; i < 300; ++i)
        nodes.push_back(std::make_shared<Node>());
    using Table = NodePlaceTable<const Node>;
    Table table(0);
    std::vector<const Node*> byPlace; // what the table holds
    const auto placeHeld = [&](const Node& node) -> std::optional<Table::Place> {
        const auto held = std::find(byPlace.begin(), byPlace.end(), &node);
        return held == byPlace.end() ? std::nullopt : std::optional(Table::Place(held - byPlace.begin()));
    };
    QRandomGenerator random(41);
    for (int round = 0; round < 60; ++round) {
        const auto from = random.bounded(quint32(byPlace.size()) + 1);
        table.forgetFrom(from);
        byPlace.resize(from);
        for (int i = 0; i < 60; ++i) {
            const Node& node = *nodes[random.bounded(quint32(nodes.size()))];
            const auto held = placeHeld(node);
            ASSERT_EQ(table.placeOf(node), held.value_or(Table::Place(byPlace.size()))) << round;
            if (!held)
                byPlace.push_back(&node);
        }
        for (const auto& node : nodes) {
            const Table::Place* found = table.find(*node);
            ASSERT_EQ(found ? std::optional(*found) : std::nullopt, placeHeld(*node)) << round;
        }
    }
}
