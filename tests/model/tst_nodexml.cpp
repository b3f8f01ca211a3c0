#include "model/FontProperties.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/ErrorTrap.h"
#include "model/Property.h"
#include "model/TextLabel.h"
#include "model/clsControl.h"
#include "model/doubles/TestNetwork.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kelvane;

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

std::shared_ptr<TextLabel> label(const QString& html)
{
    auto made = std::make_shared<TextLabel>();
    made->HTML = html;
    return made;
}

// A fresh node of the network that reads `element`; `ok` is the expected result.
std::shared_ptr<Node> read(const std::shared_ptr<doubles::TestNetwork>& network, const QString& element, bool ok = true)
{
    auto node = std::make_shared<Node>();
    node->Network = network;
    HeldErrors errors;
    EXPECT_EQ(node->SerializeInXML(element, errors), ok);
    errors.report();
    return node;
}

QString element(const QString& children)
{
    return S("<node nodeguid='01G'><layerindex>1</layerindex><nodeindex>1</nodeindex>") + children + S("</node>");
}

} // namespace

TEST(NodeXML, DefaultNodeWritesTheMinimalElement)
{
    auto network = doubles::TestNetwork::create();
    auto node = network->addNode(1);
    node->GUID = S("0100000000000000000000000000000000000000000A");
    QFile golden(test::dataPath(S("xml/node-default.xml")));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    EXPECT_EQ(node->SerializeOutXML(), QString::fromUtf8(golden.readAll()));

    EXPECT_EQ(Node().SerializeOutXML(), QString()); // outside any layer
}

TEST(NodeXML, EveryStoredFieldSurvivesARoundTrip)
{
    auto network = doubles::TestNetwork::create();
    auto evidence = network->addNode(1);
    auto node = network->addNode(2);
    auto name = label(S("Rain <A href='w'>today</A>"));
    name->Font()->Bold = true;
    name->ForeColor = 0x0000FF;
    node->setNameLabel(name);
    node->Color = 0x123456;
    node->Question = label(S("Will it rain?"));
    node->Reason = label(S("Umbrellas"));
    node->Justification = label(S("line one\rline two"));
    node->Answers.Add(label(S("Yes")));
    node->Answers.Add(label(S("No")));
    node->NoDefault = false;
    node->Default = 0.3;
    node->Plural = node->AutoAnswer = node->Disabled = true;
    node->setMoreInfo(S("help.htm#rain & more"));
    node->setAnswer(0.75);
    node->setOverridden(true);
    node->setExternal(true);
    node->ExternalFile = S("..\\kb\\a&b's.qkb");
    node->ExternalNetworkGUID = S("01NET");
    node->setExternalGUID(S("01EXT"));
    auto property = std::make_shared<Property>();
    property->Name = S("Cost");
    property->Value = S("12 < 13");
    node->Properties.Add(property);
    network->link(node, evidence)->WeightAffirm = 0.8;
    auto control = std::make_shared<clsControl>();
    control->Name = S("Need Info");
    node->Controls().Add(control, control->Name);

    const QString xml = node->SerializeOutXML();
    EXPECT_TRUE(xml.contains(S("<plural>True</plural>\r\n<autoanswer>True</autoanswer>\r\n<default>true</default>")));
    EXPECT_TRUE(xml.contains(S("<answervalue>0.75</answervalue>\r\n<degreeoftruth>0.75</degreeoftruth>")));

    const auto back = read(network, xml);
    EXPECT_EQ(back->LayerIndex, 2);
    EXPECT_EQ(back->NodeIndex, 1);
    EXPECT_EQ(back->Links().Item(1)->NodeGUIDRef, evidence->GUID);
    EXPECT_TRUE(back->Answered);
    EXPECT_EQ(back->DOT, 0.75);
    // Written again from the same place, the node read gives the same element.
    back->Layer = node->Layer;
    back->NodeNumber = node->NodeNumber;
    back->Links().Item(1)->ConnectionTo = evidence;
    EXPECT_EQ(back->SerializeOutXML(), xml);
}

TEST(NodeXML, ReadingRules)
{
    auto network = doubles::TestNetwork::create();
    auto node = read(network, element(S("<defaultanswervalue>-0.25</defaultanswervalue>")));
    EXPECT_EQ(node->Default, 0.25);
    EXPECT_TRUE(node->NoDefault); // no "default" element
    EXPECT_FALSE(node->External());
    EXPECT_FALSE(read(network, element(S("<default>TRUE</default>")))->NoDefault);

    node = read(network, element(S("<external linkedkb='a&amp;b&apos;c&amp;amp;' networkguidref='N' "
                                   "nodeguidref='E'>true</external>")));
    EXPECT_TRUE(node->External());
    EXPECT_EQ(node->ExternalFile, S("a&b'c&amp;")); // attribute form undone once
    EXPECT_EQ(node->ExternalGUID(), S("E"));

    // With NewGUIDs the node keeps the GUID it was made with.
    network->newGUIDs = true;
    node = std::make_shared<Node>();
    node->Network = network;
    const QString made = node->GUID;
    HeldErrors errors;
    node->SerializeInXML(element({}), errors);
    EXPECT_EQ(node->GUID, made);
    EXPECT_EQ(node->OldGUID, S("01G"));
}

TEST(NodeXML, ABadFieldKeepsItsDefaultAndTheOthersAreStillRead)
{
    auto network = doubles::TestNetwork::create();
    const auto node = read(network,
                           S("<node nodeguid='01G'><nodename><string>Name</string></nodename><layerindex></layerindex>"
                             "<nodeindex>3</nodeindex><plural>perhaps</plural><disabled>1</disabled></node>"),
                           false);
    EXPECT_EQ(node->GUID, S("01G"));
    EXPECT_EQ(node->NameLabel()->HTML, S("Name"));
    EXPECT_EQ(node->LayerIndex, 0);
    EXPECT_EQ(node->NodeIndex, 3);
    EXPECT_FALSE(node->Plural);
    EXPECT_TRUE(node->Disabled);

    // A layer number is a 16-bit integer: a larger one fails the read like any bad number.
    EXPECT_EQ(read(network, S("<node><layerindex>32767</layerindex><nodeindex>1</nodeindex></node>"))->LayerIndex, 32767);
    for (const char* layer : {"32768", "2147483647"}) {
        const auto beyond = read(network, S("<node><layerindex>%1</layerindex><nodeindex>40000</nodeindex></node>").arg(S(layer)), false);
        EXPECT_EQ(beyond->LayerIndex, 0) << layer;
        EXPECT_EQ(beyond->NodeIndex, 40000) << layer; // places go on beyond 16 bits
    }
}
