#include "model/FontProperties.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
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

QString golden(const QString& name)
{
    QFile file(test::dataPath(QStringLiteral("xml/") + name));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing golden file ") + name + u'>';
    return QString::fromUtf8(file.readAll());
}

std::shared_ptr<TextLabel> label(const QString& html)
{
    auto made = std::make_shared<TextLabel>();
    made->HTML = html;
    return made;
}

// A fresh node of the network, ready to read an element.
std::shared_ptr<Node> readerNode(const std::shared_ptr<doubles::TestNetwork>& network)
{
    auto node = std::make_shared<Node>();
    node->Network = network;
    return node;
}

} // namespace

TEST(NodeXML, DefaultNodeWritesTheMinimalElement)
{
    auto network = doubles::TestNetwork::create();
    auto node = network->addNode(1);
    node->GUID = S("0100000000000000000000000000000000000000000A");
    EXPECT_EQ(node->SerializeOutXML(), golden(S("node-default.xml")));
}

TEST(NodeXML, NodeOutsideAnyLayerWritesNothing)
{
    Node loose;
    EXPECT_EQ(loose.SerializeOutXML(), QString());
}

TEST(NodeXML, EveryStoredFieldSurvivesARoundTrip)
{
    auto network = doubles::TestNetwork::create();
    auto evidence = network->addNode(1);
    auto node = network->addNode(2);
    auto name = label(S("Rain <A href='w'>today</A>"));
    name->Font()->Name = S("Arial");
    name->Font()->Bold = true;
    name->ForeColor = 0x0000FF;
    node->setNameLabel(name);
    node->Color = 0x123456;
    node->Question = label(S("Will it rain?"));
    node->Reason = label(S("Umbrellas"));
    node->Justification = label(S("line one\rline two"));
    node->Answers.Add(label(S("Yes")));
    node->Answers.Add(label(S("No")));
    node->Answers.Item(2)->ForeColor = 0x00FF00;
    node->NoDefault = false;
    node->Default = 0.3;
    node->Plural = true;
    node->AutoAnswer = true;
    node->setMoreInfo(S("help.htm#rain & more"));
    node->Disabled = true;
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
    auto link = network->link(node, evidence);
    link->WeightAffirm = 0.8;
    link->AlwaysDeny = true;
    auto control = std::make_shared<clsControl>();
    control->ControlType = S("Check");
    control->Name = S("Need Info");
    control->Value = S("TRUE");
    node->Controls().Add(control, control->Name);

    const QString xml = node->SerializeOutXML();
    ASSERT_TRUE(xml.startsWith(S("<node nodeguid='") + node->GUID + S("'>\r\n<nodename>\r\n")));
    EXPECT_TRUE(xml.contains(S("<plural>True</plural>\r\n<autoanswer>True</autoanswer>\r\n<default>true</default>")));
    EXPECT_TRUE(xml.contains(S("<answered>true</answered>\r\n<answervalue>0.75</answervalue>\r\n"
                               "<degreeoftruth>0.75</degreeoftruth>")));
    EXPECT_TRUE(xml.contains(S("<external linkedkb='..\\kb\\a&amp;b&apos;s.qkb' networkguidref='01NET' "
                               "nodeguidref='01EXT'>true</external>")));
    EXPECT_TRUE(xml.endsWith(S("</control>\r\n</node>")));

    auto read = readerNode(network);
    ASSERT_TRUE(read->SerializeInXML(xml));
    EXPECT_EQ(read->GUID, node->GUID);
    EXPECT_EQ(read->NameLabel()->HTML, name->HTML);
    EXPECT_EQ(read->NameLabel()->Font()->Name, S("Arial"));
    EXPECT_TRUE(read->NameLabel()->Font()->Bold);
    EXPECT_EQ(read->NameLabel()->ForeColor, 0x0000FF);
    EXPECT_EQ(read->Color, 0x123456);
    EXPECT_EQ(read->LayerIndex, 2);
    EXPECT_EQ(read->NodeIndex, 1);
    EXPECT_EQ(read->Question->HTML, S("Will it rain?"));
    EXPECT_EQ(read->Reason->HTML, S("Umbrellas"));
    EXPECT_EQ(read->Justification->HTML, S("line one\rline two"));
    ASSERT_EQ(read->Answers.Count(), 2);
    EXPECT_EQ(read->Answers.Item(2)->HTML, S("No"));
    EXPECT_EQ(read->Answers.Item(2)->ForeColor, 0x00FF00);
    EXPECT_FALSE(read->NoDefault);
    EXPECT_EQ(read->Default, 0.3);
    EXPECT_TRUE(read->Plural);
    EXPECT_TRUE(read->AutoAnswer);
    EXPECT_EQ(read->MoreInfo(), node->MoreInfo());
    EXPECT_TRUE(read->Disabled);
    EXPECT_TRUE(read->Answered);
    EXPECT_EQ(read->DOT, 0.75);
    EXPECT_TRUE(read->Overridden());
    EXPECT_TRUE(read->External());
    EXPECT_EQ(read->ExternalFile, node->ExternalFile);
    EXPECT_EQ(read->ExternalNetworkGUID, S("01NET"));
    EXPECT_EQ(read->ExternalGUID(), S("01EXT"));
    ASSERT_EQ(read->Properties.Count(), 1);
    EXPECT_EQ(read->Properties.Item(1)->Value.toString(), S("12 < 13"));
    ASSERT_EQ(read->Links().Count(), 1);
    EXPECT_EQ(read->Links().Item(1)->NodeGUIDRef, evidence->GUID);
    EXPECT_EQ(read->Links().Item(1)->WeightAffirm, 0.8);
    EXPECT_TRUE(read->Links().Item(1)->AlwaysDeny);
    ASSERT_EQ(read->Controls().Count(), 1);
    EXPECT_EQ(read->Controls().Item(S("NEED INFO"))->Value, S("TRUE"));

    // Written again, the node reads the same.
    read->Layer = node->Layer;
    read->NodeNumber = node->NodeNumber;
    read->Links().Item(1)->ConnectionTo = evidence;
    EXPECT_EQ(read->SerializeOutXML(), xml);
}

TEST(NodeXML, DefaultAnswerRules)
{
    auto network = doubles::TestNetwork::create();
    auto node = readerNode(network);
    EXPECT_TRUE(node->SerializeInXML(S("<node nodeguid='1'><layerindex>1</layerindex><nodeindex>1</nodeindex>"
                                       "<defaultanswervalue>-0.25</defaultanswervalue></node>")));
    EXPECT_EQ(node->Default, 0.25);
    EXPECT_TRUE(node->NoDefault); // without a "default" element

    node = readerNode(network);
    EXPECT_TRUE(node->SerializeInXML(S("<node nodeguid='1'><layerindex>1</layerindex><nodeindex>1</nodeindex>"
                                       "<default>TRUE</default></node>")));
    EXPECT_FALSE(node->NoDefault);
    EXPECT_EQ(node->Default, 0.5);
}

TEST(NodeXML, WithNewGUIDsTheFileGUIDBecomesTheOldOne)
{
    auto network = doubles::TestNetwork::create();
    network->newGUIDs = true;
    auto node = readerNode(network);
    const QString made = node->GUID;
    EXPECT_TRUE(node->SerializeInXML(S("<node nodeguid='01FILE'><layerindex>1</layerindex><nodeindex>1</nodeindex></node>")));
    EXPECT_EQ(node->GUID, made);
    EXPECT_EQ(node->OldGUID, S("01FILE"));
}

TEST(NodeXML, ABadFieldKeepsItsDefaultAndTheOthersAreStillRead)
{
    auto network = doubles::TestNetwork::create();
    auto node = readerNode(network);
    EXPECT_FALSE(node->SerializeInXML(S("<node nodeguid='01G'><nodename><string>Name</string></nodename>"
                                        "<nodedisplay><colour red='9' green='0' blue='0'/></nodedisplay>"
                                        "<layerindex></layerindex><nodeindex>3</nodeindex>"
                                        "<plural>perhaps</plural><disabled>1</disabled></node>")));
    EXPECT_EQ(node->GUID, S("01G"));
    EXPECT_EQ(node->NameLabel()->HTML, S("Name"));
    EXPECT_EQ(node->Color, 9);
    EXPECT_EQ(node->LayerIndex, 0);
    EXPECT_EQ(node->NodeIndex, 3);
    EXPECT_FALSE(node->Plural);
    EXPECT_TRUE(node->Disabled);
}

TEST(NodeXML, ExternalReferenceIsUnescapedOnce)
{
    auto network = doubles::TestNetwork::create();
    auto node = readerNode(network);
    node->SerializeInXML(S("<node nodeguid='1'><layerindex>1</layerindex><nodeindex>1</nodeindex>"
                           "<external linkedkb='a&amp;b&apos;c&amp;amp;' networkguidref='N' nodeguidref='E'>true</external></node>"));
    EXPECT_TRUE(node->External());
    EXPECT_EQ(node->ExternalFile, S("a&b'c&amp;"));
    EXPECT_EQ(node->ExternalGUID(), S("E"));

    auto plain = readerNode(network);
    plain->SerializeInXML(S("<node nodeguid='1'><layerindex>1</layerindex><nodeindex>1</nodeindex></node>"));
    EXPECT_FALSE(plain->External());
}
