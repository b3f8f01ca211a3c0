#include "model/FontProperties.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/Property.h"
#include "model/TextLabel.h"
#include "model/clsControl.h"
#include "model/xml/basKelvaneXML.h"

#include <gtest/gtest.h>

using namespace basKelvaneXML;
using namespace kelvane;

namespace {
QString S(const char* text) { return QString::fromUtf8(text); }

std::shared_ptr<TextLabel> label(const QString& html)
{
    auto made = std::make_shared<TextLabel>();
    made->HTML = html;
    return made;
}
} // namespace

TEST(XMLValues, DecimalsUseFifteenDigitsAndAPoint)
{
    EXPECT_EQ(DecimalXML(0.5), S("0.5"));
    EXPECT_EQ(DecimalXML(0.1 + 0.2), S("0.3"));
    EXPECT_EQ(DecimalXML(-0.25), S("-0.25"));
    EXPECT_EQ(DecimalXML(1e-5), S("1E-05"));
    EXPECT_EQ(DecimalXML(0.0001), S("0.0001"));
    EXPECT_EQ(DecimalXML(1e15), S("1E+15"));
    EXPECT_EQ(ReadDecimalXML(S(" 0.75xyz")), 0.75);
    EXPECT_EQ(ReadDecimalXML(S("abc")), 0.0);
    EXPECT_EQ(ReadDecimalXML(S("1E999")), 0.0);
}

TEST(XMLValues, BooleansAndIntegersFailOnOtherText)
{
    EXPECT_TRUE(ReadBooleanXML(S("TRUE")));
    EXPECT_FALSE(ReadBooleanXML(S("False")));
    EXPECT_TRUE(ReadBooleanXML(S("-1")));
    EXPECT_FALSE(ReadBooleanXML(S("0")));
    EXPECT_THROW(ReadBooleanXML(QString()), RuntimeError);
    EXPECT_THROW(ReadBooleanXML(S("yes")), RuntimeError);
    EXPECT_EQ(ReadIntegerXML(S("12")), 12);
    EXPECT_THROW(ReadIntegerXML(QString()), RuntimeError);
    EXPECT_THROW(ReadIntegerXML(S("40000")), RuntimeError);
}

TEST(ColourXML, WritesTheThreeLowBytes)
{
    EXPECT_EQ(WriteColourXML(1 + 2 * 256 + 3 * 65536), S("<colour red='1' green='2' blue='3'/>\r\n"));
    EXPECT_EQ(WriteColourXML(5), S("<colour red='5' green='0' blue='0'/>\r\n"));
    EXPECT_EQ(WriteColourXML(-1), S("<colour red='255' green='255' blue='255'/>\r\n"));
}

TEST(ColourXML, ReadsEachComponentOnItsOwn)
{
    const auto colour = ReadColourXML(S("x<colour red='1' green='2' blue='3'/>"));
    ASSERT_TRUE(colour);
    EXPECT_EQ(ColourValue(*colour), 1 + 2 * 256 + 3 * 65536);

    const auto bad = ReadColourXML(S("<colour red='x' green='7' blue='99999'/>"));
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->Red, 0);
    EXPECT_EQ(bad->Green, 7);
    EXPECT_EQ(bad->Blue, 0);

    EXPECT_FALSE(ReadColourXML(S("<colour red='1'>")));
    EXPECT_FALSE(ReadColourXML(S("no colour")));
    EXPECT_EQ(ColourValue({300, -4, 255}), 255 + 0 + 255 * 65536);
}

TEST(FontXML, WritesOnlyWhatDiffersFromTheDefault)
{
    FontProperties font;
    EXPECT_EQ(WriteFontXML(font), QString());
    font.Name = S("Times New Roman");
    font.Size = 12;
    font.Bold = true;
    font.Strikethru = true;
    EXPECT_EQ(WriteFontXML(font), S("<font  face='Times New Roman' size='12' bold='true' strikethru='true'/>\r\n"));

    const auto read = ReadFontXML(WriteFontXML(font));
    EXPECT_EQ(read->Name, S("Times New Roman"));
    EXPECT_EQ(read->Size, 12);
    EXPECT_TRUE(read->Bold);
    EXPECT_FALSE(read->Italic);
    EXPECT_FALSE(read->Underline);
    EXPECT_TRUE(read->Strikethru);
}

TEST(FontXML, FaceWithAnApostropheRoundTrips)
{
    FontProperties font;
    font.Name = S("O'Neil Sans");
    const QString line = WriteFontXML(font);
    EXPECT_TRUE(line.contains(S("face='O&apos;Neil Sans'")));
    EXPECT_EQ(ReadFontXML(line)->Name, S("O'Neil Sans"));
}

TEST(FontXML, AnUnreadableAttributeKeepsItsDefaultAndTheOthersAreRead)
{
    const auto font = ReadFontXML(S("<font  size='big' italic='maybe' underline='true'/>"));
    EXPECT_EQ(font->Size, 8);
    EXPECT_FALSE(font->Italic);
    EXPECT_TRUE(font->Underline);
    EXPECT_EQ(ReadFontXML(S("<b>no font</b>"))->Name, FontProperties().Name);
}

TEST(StringXML, WritesTextFontAndColourOnlyWhereTheyDiffer)
{
    auto text = label(S("Is it <A href='x'>raining</A> &lt;now&gt;?"));
    EXPECT_EQ(WriteStringXML(*text),
              S("<string>Is it &lt;A href='x'&gt;raining&lt;/A&gt; &amp;lt;now&amp;gt;?</string>\r\n"));
    EXPECT_EQ(WriteStringXML(*label(QString())), QString());

    const auto read = ReadStringXML(S("<q>\r\n") + WriteStringXML(*text) + S("</q>"), S("q"));
    EXPECT_EQ(read->HTML, text->HTML);
    EXPECT_EQ(read->Font()->Name, FontProperties().Name);
    EXPECT_EQ(read->ForeColor, 0);

    text->ForeColor = 255;
    text->Font()->Italic = true;
    const auto styled = ReadStringXML(S("<q>") + WriteStringXML(*text) + S("</q>"), S("q"));
    EXPECT_EQ(styled->ForeColor, 255);
    EXPECT_TRUE(styled->Font()->Italic);

    EXPECT_EQ(ReadStringXML(S("<Q><string>x</string></Q>"), S("q"))->HTML, QString());
}

TEST(AnswerXML, AnswersComeBackOrderedByIndexAndNoneIsLost)
{
    Collection<std::shared_ptr<TextLabel>> answers;
    answers.Add(label(S("Yes")));
    answers.Add(label(S("No")));
    const QString written = WriteAnswerXML(answers);
    EXPECT_EQ(written.left(60), S("<answer>\r\n<index>1</index>\r\n<string>Yes</string>\r\n<colour re"));

    const QString swapped = S("<answer><index>2</index><string>second</string></answer>"
                              "<answer><index>1</index><string>first</string></answer>");
    auto read = ReadAnswerXML(swapped);
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.Item(1)->HTML, S("first"));

    // A shared or missing index no longer throws the answers away.
    read = ReadAnswerXML(S("<answer><string>c</string></answer><answer><index>1</index><string>a</string></answer>"
                           "<answer><index>1</index><string>b</string></answer>"));
    ASSERT_EQ(read.Count(), 3);
    EXPECT_EQ(read.Item(1)->HTML, S("a"));
    EXPECT_EQ(read.Item(2)->HTML, S("b"));
    EXPECT_EQ(read.Item(3)->HTML, S("c"));
}

TEST(PropertyXML, ValuesAreUnescapedOnce)
{
    Collection<std::shared_ptr<Property>> properties;
    auto text = std::make_shared<Property>();
    text->Name = S("Source");
    text->Value = S("&lt;");
    properties.Add(text);
    auto object = std::make_shared<Property>();
    object->Name = S("Object");
    object->Value = Variant::fromObject(std::make_shared<int>(1));
    properties.Add(object);
    auto flag = std::make_shared<Property>();
    flag->Name = S("Flag");
    flag->Value = true;
    properties.Add(flag);

    const QString written = WritePropertyXML(properties);
    EXPECT_TRUE(written.contains(S("<propertyvalue>&amp;lt;</propertyvalue>")));
    EXPECT_FALSE(written.contains(S("Object")));

    const auto read = ReadPropertyXML(written);
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.Item(1)->Value.toString(), S("&lt;"));
    EXPECT_EQ(read.Item(2)->Name, S("Flag"));
    EXPECT_EQ(read.Item(2)->Value.toString(), S("True"));
}

TEST(ControlXML, FirstOfTwoEqualNamesWinsAndTheTypeRoundTrips)
{
    const auto read = ReadControlXML(S("<control type='Check'><name>Irrelevant</name><value>TRUE</value><default/></control>"
                                       "<control type='Check'><name>IRRELEVANT</name><value>FALSE</value></control>"));
    ASSERT_EQ(read.Count(), 1);
    EXPECT_EQ(read.Item(1)->Value, S("TRUE"));
    EXPECT_TRUE(read.Contains(S("irrelevant")));

    Collection<std::shared_ptr<clsControl>> controls;
    auto control = std::make_shared<clsControl>();
    control->ControlType = S("it's <odd>");
    control->Name = S("Need Info");
    control->Value = S("a & b");
    control->Default = S("x\r\ny");
    controls.Add(control);
    const QString written = WriteControlXML(controls);
    EXPECT_TRUE(written.startsWith(S("<control type='it&apos;s &lt;odd&gt;'>\r\n<name>Need Info</name>\r\n")));
    const auto back = ReadControlXML(written);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Item(1)->ControlType, control->ControlType);
    EXPECT_EQ(back.Item(1)->Value, control->Value);
    EXPECT_EQ(back.Item(1)->Default, S("x\ry"));
}

TEST(LinkXML, WeightsAndFlagsRoundTrip)
{
    auto target = std::make_shared<Node>();
    target->GUID = S("01TARGET'");
    Collection<std::shared_ptr<Link>> links;
    auto link = std::make_shared<Link>();
    link->ConnectionTo = target;
    link->WeightAffirm = 0.9;
    link->Weight = 0.25;
    link->WeightDeny = 0.1;
    link->AlwaysAffirm = true;
    links.Add(link);
    links.Add(std::make_shared<Link>()); // no target: not written

    const QString written = WriteLinkXML(links);
    EXPECT_EQ(written, S("<link nodeguidref='01TARGET&apos;'>\r\n<weightaffirm>0.9</weightaffirm>\r\n"
                         "<weight>0.25</weight>\r\n<weightdeny>0.1</weightdeny>\r\n"
                         "<alwaysaffirm>true</alwaysaffirm>\r\n<alwaysdeny>false</alwaysdeny>\r\n</link>\r\n"));
    const auto read = ReadLinkXML(written);
    ASSERT_EQ(read.Count(), 1);
    EXPECT_EQ(read.Item(1)->NodeGUIDRef, target->GUID);
    EXPECT_EQ(read.Item(1)->WeightAffirm, 0.9);
    EXPECT_EQ(read.Item(1)->Weight, 0.25);
    EXPECT_EQ(read.Item(1)->WeightDeny, 0.1);
    EXPECT_TRUE(read.Item(1)->AlwaysAffirm);
    EXPECT_FALSE(read.Item(1)->AlwaysDeny);
    EXPECT_FALSE(read.Item(1)->ConnectionTo);
}

TEST(LinkXML, MissingPartsReadAsZeroOrFalseAndTheListGoesOn)
{
    const auto read = ReadLinkXML(S("<link nodeguidref='A'><weightaffirm>0.8</weightaffirm><weight>0.6</weight></link>"
                                    "<link nodeguidref='B'><alwaysdeny>TRUE</alwaysdeny></link>"));
    ASSERT_EQ(read.Count(), 2);
    EXPECT_EQ(read.Item(1)->WeightDeny, 0.0);
    EXPECT_FALSE(read.Item(1)->AlwaysAffirm);
    EXPECT_EQ(read.Item(2)->NodeGUIDRef, S("B"));
    EXPECT_TRUE(read.Item(2)->AlwaysDeny);
}
