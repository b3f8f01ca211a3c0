// Whole-document operations (the document text, GUID renewal, control propagation) and the
// overview and complete views.
#include "DiagramTestSupport.h"

#include "model/Layer.h"
#include "model/FontProperties.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/clsControl.h"

#include <set>

using namespace kelvane;
using namespace kelvane::test;

namespace {

std::shared_ptr<clsControl> definition(const char* name, const char* value)
{
    auto made = std::make_shared<clsControl>();
    made->ControlType = QStringLiteral("boolean");
    made->Name = QString::fromLatin1(name);
    made->Value = QString::fromLatin1(value);
    made->Default = QStringLiteral("false");
    return made;
}

// Three levels: the root's E opens "Battery" at B1, whose F opens "Fuel" at F1.
class ThreeLevels : public DiagramTest {
protected:
    ThreeLevels()
    {
        root.network->Name()->setText(QStringLiteral("Car"));
        battery.network->Name()->setText(QStringLiteral("Battery  check"));
        fuel.network->Name()->setText(QStringLiteral("Fuel"));
        openLowerLevel(root["E"], root.network, battery.network, battery["B1"]);
        openLowerLevel(battery["F"], battery.network, fuel.network, fuel["F1"]);
        useNetworks({root.network, battery.network, fuel.network});
    }

    NetworkBuilder root {{"A", "E"}};
    NetworkBuilder battery {{"B2 F", "B1"}};
    NetworkBuilder fuel {{"F2", "F1"}};
};

std::vector<std::string> names(clsNetwork& network)
{
    return layerNames(network);
}

} // namespace

// --- The document's text -------------------------------------------------------------------------

TEST_F(DiagramTest, DocumentTextWrapsEachNetworkInItsEntry)
{
    NetworkBuilder net({"A"});
    useNetworks({net.network});
    const QString expected = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE kelvanedocument>\r\n"
                                            "<kelvanedocument>\r\n<kelvanenetwork>\r\n")
        + net.network->SerializeOutXML() + QStringLiteral("</kelvanenetwork>\r\n</kelvanedocument>\r\n");
    EXPECT_EQ(control->SerializeOutXML(), expected);

    control->Networks.Clear();
    EXPECT_EQ(control->SerializeOutXML(), QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\r\n"
                                                         "<!DOCTYPE kelvanedocument>\r\n<kelvanedocument>\r\n"
                                                         "</kelvanedocument>\r\n"));
}

TEST_F(ThreeLevels, NewGUIDsKeepTheReferencesBetweenLevels)
{
    std::set<QString> before;
    for (const auto& network : control->Networks) {
        before.insert(network->GUID());
        for (const auto& layer : network->Layers())
            for (const auto& node : layer->Nodes())
                before.insert(node->GUID);
    }
    control->RecreateGUIDs();
    for (const auto& network : control->Networks) {
        EXPECT_FALSE(before.count(network->GUID()));
        for (const auto& layer : network->Layers())
            for (const auto& node : layer->Nodes())
                EXPECT_FALSE(before.count(node->GUID));
    }
    EXPECT_EQ(root["E"]->ExternalNetworkGUID, battery.network->GUID());
    EXPECT_EQ(root["E"]->ExternalGUID(), battery["B1"]->GUID);
    EXPECT_EQ(battery["F"]->ExternalNetworkGUID, fuel.network->GUID());
    EXPECT_EQ(battery["F"]->ExternalGUID(), fuel["F1"]->GUID);
    EXPECT_EQ(root["E"]->Links().Count(), 0);
}

TEST_F(ThreeLevels, NewGUIDsAreWrittenOverTheOldTextsAndNamedByTheLinks)
{
    // A link as a document's reader leaves it: naming its evidence node by that node's GUID text.
    battery.links("B1>B2");
    const auto link = battery["B1"]->Links().Item(1);
    link->NodeGUIDRef = battery["B2"]->GUID;
    const QString old(battery["B2"]->GUID.constData(), battery["B2"]->GUID.size()); // a copy of its own
    const QChar* storage = battery["B2"]->GUID.constData();
    control->RecreateGUIDs();
    EXPECT_NE(battery["B2"]->GUID, old);
    EXPECT_EQ(battery["B2"]->GUID.constData(), storage);
    EXPECT_EQ(link->NodeGUIDRef, battery["B2"]->GUID);
}

TEST_F(DiagramTest, NetworkControlsAreAddedToNodesThatLackThem)
{
    NetworkBuilder net({"A B"});
    NetworkBuilder bare({"C"});
    net["A"]->Controls().Add(definition("NEED INFO", "true"), QStringLiteral("NEED INFO"));
    net.network->Controls.Add(definition("IRRELEVANT", "false"), QStringLiteral("IRRELEVANT"));
    net.network->Controls.Add(definition("NEED INFO", "false"), QStringLiteral("NEED INFO"));
    bare["C"]->Controls().Add(definition("OWN", "true"), QStringLiteral("OWN"));
    // A name the node holds in other letter case counts as held.
    net["B"]->Controls().Add(definition("Need Info", "true"), QStringLiteral("Need Info"));
    useNetworks({net.network, bare.network});

    control->PropogateControls();
    const auto& own = net["A"]->Controls();
    ASSERT_EQ(own.Count(), 2);
    EXPECT_EQ(own.Item(QStringLiteral("NEED INFO"))->Value, QStringLiteral("true"));
    EXPECT_EQ(own.Item(QStringLiteral("IRRELEVANT"))->Value, QStringLiteral("false"));
    EXPECT_NE(own.Item(QStringLiteral("IRRELEVANT")), net.network->Controls.Item(1)); // a copy
    EXPECT_EQ(net["B"]->Controls().Count(), 2);
    EXPECT_EQ(net["B"]->Controls().Item(1)->Value, QStringLiteral("true"));
    EXPECT_EQ(bare["C"]->Controls().Count(), 1);
}

// --- The overview --------------------------------------------------------------------------------

TEST_F(DiagramTest, OverviewOfASingleNetworkOnlyEnablesTheCanvas)
{
    NetworkBuilder net({"A"});
    useNetworks({net.network});
    control->setEnabled(false);
    control->ViewOverview();
    EXPECT_TRUE(control->Enabled());
    EXPECT_FALSE(control->Overview);
    EXPECT_FALSE(control->DisplayOverview);
}

TEST_F(ThreeLevels, OverviewHasOneNodePerNetworkLinkedAlongTheLevels)
{
    root.network->Controls.Add(definition("IRRELEVANT", "true"), QStringLiteral("IRRELEVANT"));
    control->ViewOverview();
    ASSERT_TRUE(control->DisplayOverview);
    EXPECT_FALSE(control->DisplayCompleteview);
    EXPECT_TRUE(control->Loaded);
    const auto& overview = control->Overview;
    EXPECT_TRUE(overview->Overview);
    EXPECT_EQ(control->ActiveNetwork(), overview);
    // Restructured: the root on top, each lower level one layer down.
    EXPECT_EQ(names(*overview), std::vector<std::string>({"Fuel", "Battery\r\ncheck", "Car"}));
    const auto carNode = overview->Layers().Item(3)->Nodes().Item(1);
    const auto batteryNode = overview->Layers().Item(2)->Nodes().Item(1);
    EXPECT_EQ(carNode->LowerLevelNetwork, root.network);
    ASSERT_EQ(carNode->Links().Count(), 1);
    EXPECT_EQ(carNode->Links().Item(1)->ConnectionTo, batteryNode);
    ASSERT_EQ(batteryNode->Links().Count(), 1);
    EXPECT_EQ(batteryNode->Links().Item(1)->ConnectionTo->LowerLevelNetwork, fuel.network);
    // The root's node is selected; the root's controls are copied without their defaults.
    EXPECT_TRUE(carNode->Selected());
    EXPECT_FALSE(batteryNode->Selected());
    ASSERT_EQ(overview->Controls.Count(), 1);
    EXPECT_EQ(overview->Controls.Item(1)->Value, QStringLiteral("true"));
    EXPECT_TRUE(overview->Controls.Item(1)->Default.isEmpty());
}

TEST_F(DiagramTest, OverviewNamesBreakAtDoubleBlanksAndCopyTheNameStyle)
{
    NetworkBuilder first({"A"}), second({"B"});
    first.network->Name()->setText(QStringLiteral("Engine    \r\n  room"));
    first.network->Name()->ForeColor = 255;
    first.network->Name()->Font()->Bold = true;
    first.network->Name()->Font()->Size = 14;
    openLowerLevel(first["A"], first.network, second.network, second["B"]);
    useNetworks({first.network, second.network});
    control->CreateOverview();
    const auto node = control->Overview->Layers().Item(2)->Nodes().Item(1);
    EXPECT_EQ(node->Name()->Text(), QStringLiteral("Engine\r\nroom"));
    EXPECT_EQ(node->Name()->ForeColor, 255);
    EXPECT_TRUE(node->Name()->Font()->Bold);
    EXPECT_EQ(node->Name()->Font()->Size, 14);
}

// --- The complete view ----------------------------------------------------------------------------

TEST_F(ThreeLevels, CompleteViewPutsEveryLevelTogetherThroughTheExternalNodes)
{
    battery["B1"]->Links(); // B1 is entered from E and carries B1's links in the view
    battery.links("B1>B2 B1>F");
    root.links("E>A");
    control->ViewCompleteView();
    ASSERT_TRUE(control->DisplayCompleteview);
    EXPECT_FALSE(control->DisplayOverview);
    EXPECT_FALSE(control->Enabled());
    const auto& view = control->CompleteView;
    EXPECT_TRUE(view->CompleteView);
    EXPECT_EQ(control->ActiveNetwork(), view);

    std::map<std::string, std::shared_ptr<Node>> byName;
    int nodes = 0;
    for (const auto& layer : view->Layers())
        for (const auto& node : layer->Nodes()) {
            byName[node->Name()->Text().toStdString()] = node;
            ++nodes;
        }
    // The entry nodes B1 and F1 do not stand by themselves.
    EXPECT_EQ(nodes, 5);
    EXPECT_FALSE(byName.count("B1"));
    EXPECT_FALSE(byName.count("F1"));
    const auto e = byName.at("E");
    EXPECT_EQ(e->GUID, battery["B1"]->GUID);
    EXPECT_EQ(e->Name(), root["E"]->Name()); // the same label
    std::set<std::string> evidence;
    for (const auto& link : e->Links())
        evidence.insert(link->ConnectionTo->Name()->Text().toStdString());
    EXPECT_EQ(evidence, std::set<std::string>({"A", "B2", "F"}));
    // Every link ends at a node of the view.
    for (const auto& layer : view->Layers())
        for (const auto& node : layer->Nodes())
            for (const auto& link : node->Links())
                EXPECT_EQ(link->ConnectionTo->Network.lock(), view);

    control->ViewOverview();
    EXPECT_TRUE(control->Enabled());
    EXPECT_FALSE(control->DisplayCompleteview);
}

TEST_F(ThreeLevels, CompleteViewLeavesOutDisabledNodes)
{
    root["A"]->setEnabled(false);
    control->CreateComplete();
    EXPECT_EQ(control->CompleteView->NodeCount(), 4);
    EXPECT_TRUE(control->Loaded);
}
