#include "model/FontProperties.h"
#include "model/Link.h"
#include "model/Property.h"
#include "model/TextLabel.h"
#include "model/clsControl.h"
#include "model/xml/basKelvaneXML.h"

#include <gtest/gtest.h>

using namespace basKelvaneXML;
using namespace kelvane;

namespace {
QString S(const char* text) { return QString::fromUtf8(text); }
} // namespace

TEST(XMLValues, NumbersAndFlags)
{
    EXPECT_EQ(DecimalXML(0.1 + 0.2), S("0.3")); // 15 significant digits
    EXPECT_EQ(DecimalXML(1e-5), S("1E-05"));
    EXPECT_EQ(ReadDecimalXML(S(" 0.75xyz")), 0.75);
    EXPECT_EQ(ReadDecimalXML(S("1E999")), 0.0);
    EXPECT_TRUE(ReadBooleanXML(S("-1")));
    EXPECT_THROW(ReadBooleanXML(QString()), RuntimeError);
    EXPECT_THROW(ReadIntegerXML(S("40000")), RuntimeError);
}

TEST(ColourXML, WritesTheLowBytesAndReadsEachPartOnItsOwn)
{
    EXPECT_EQ(WriteColourXML(1 + 2 * 256 + 3 * 65536), S("<colour red='1' green='2' blue='3'/>\r\n"));
    EXPECT_EQ(WriteColourXML(-1), S("<colour red='255' green='255' blue='255'/>\r\n"));
    EXPECT_EQ(ColourValue(*ReadColourXML(S("x<colour red='1' green='2' blue='3'/>"))), 1 + 2 * 256 + 3 * 65536);

    const auto bad = ReadColourXML(S("<colour red='x' green='7' blue='99999'/>"));
    ASSERT_TRUE(bad);
    EXPECT_EQ(ColourValue(*bad), 7 * 256);
    EXPECT_FALSE(ReadColourXML(S("<colour red='1'>")));
}

TEST(FontXML, OnlyWhatDiffersIsWrittenAndABadAttributeKeepsItsDefault)
{
    FontProperties font;
    EXPECT_EQ(WriteFontXML(font), QString());
    font.Name = S("O'Neil Sans");
    font.Size = 12;
    font.Strikethru = true;
    const QString line = WriteFontXML(font);
    EXPECT_EQ(line, S("<font  face='O&apos;Neil Sans' size='12' strikethru='true'/>\r\n"));
    const auto back = ReadFontXML(line);
    EXPECT_EQ(back->Name, font.Name);
    EXPECT_EQ(back->Size, 12);
    EXPECT_TRUE(back->Strikethru);
    EXPECT_FALSE(back->Bold);

    const auto bad = ReadFontXML(S("<font  size='big' italic='maybe' underline='true'/>"));
    EXPECT_EQ(bad->Size, 8);
    EXPECT_TRUE(bad->Underline);
}

TEST(AnswerXML, OrderedByIndexAndNoneIsLost)
{
    auto read = ReadAnswerXML(S("<answer><index>2</index><string>b</string></answer>"
                                "<answer><string>c</string></answer>"
                                "<answer><index>1</index><string>a</string></answer>"
                                "<answer><index>1</index><string>a2</string></answer>"));
    ASSERT_EQ(read.Count(), 4);
    EXPECT_EQ(read.Item(1)->HTML, S("a"));
    EXPECT_EQ(read.Item(2)->HTML, S("a2"));
    EXPECT_EQ(read.Item(3)->HTML, S("b"));
    EXPECT_EQ(read.Item(4)->HTML, S("c"));
}

TEST(ListXML, ItemsThatCannotBeStoredAreLeftOutAndTheRestKept)
{
    Collection<std::shared_ptr<Property>> properties;
    auto object = std::make_shared<Property>();
    object->Value = Variant::fromObject(std::make_shared<int>(1));
    properties.Add(object);
    auto text = std::make_shared<Property>();
    text->Name = S("Source");
    text->Value = S("&lt;");
    properties.Add(text);
    const QString written = WritePropertyXML(properties);
    EXPECT_TRUE(written.contains(S("<propertyvalue>&amp;lt;</propertyvalue>")));
    ASSERT_EQ(ReadPropertyXML(written).Count(), 1);
    EXPECT_EQ(ReadPropertyXML(written).Item(1)->Value.toString(), S("&lt;"));

    Collection<std::shared_ptr<Link>> links;
    links.Add(std::make_shared<Link>()); // no target
    EXPECT_EQ(WriteLinkXML(links), QString());
}

TEST(ControlXML, FirstOfTwoEqualNamesWins)
{
    const auto read = ReadControlXML(S("<control type='Check'><name>Irrelevant</name><value>TRUE</value></control>"
                                       "<control type='Check'><name>IRRELEVANT</name><value>FALSE</value></control>"));
    ASSERT_EQ(read.Count(), 1);
    EXPECT_EQ(read.Item(S("irrelevant"))->Value, S("TRUE"));
}

TEST(LinkXML, MissingPartsReadAsZeroOrFalseAndTheListGoesOn)
{
    const auto read = ReadLinkXML(S("<link nodeguidref='A'><weightaffirm>0.8</weightaffirm><weight>0.6</weight></link>"
                                    "<link nodeguidref='B'><alwaysdeny>TRUE</alwaysdeny></link>"
                                    "<link NodeGUIDRef='C'><WEIGHT>0.3</WEIGHT><weight>&amp;H10</weight>"
                                    "<weightdeny>\r\n0.25</weightdeny><alwaysaffirm> tRUE\r\n</alwaysaffirm></link>"));
    ASSERT_EQ(read.Count(), 3);
    EXPECT_EQ(read.Item(1)->NodeGUIDRef, S("A"));
    EXPECT_EQ(read.Item(1)->WeightAffirm, 0.8);
    EXPECT_EQ(read.Item(1)->WeightDeny, 0.0);
    EXPECT_FALSE(read.Item(1)->AlwaysAffirm);
    EXPECT_TRUE(read.Item(2)->AlwaysDeny);
    // Attribute names in any letter case, element names in their own; entities and line breaks undone.
    EXPECT_EQ(read.Item(3)->NodeGUIDRef, S("C"));
    EXPECT_EQ(read.Item(3)->Weight, 16.0);
    EXPECT_EQ(read.Item(3)->WeightDeny, 0.25);
    EXPECT_TRUE(read.Item(3)->AlwaysAffirm);
}
