#include "model/xml/TextSearch.h"
#include "model/xml/XMLElementWalker.h"
#include "model/xml/XMLTagIndex.h"
#include "model/xml/basXML.h"

#include <gtest/gtest.h>

using namespace basXML;

namespace {
QString S(const char* text) { return QString::fromUtf8(text); }
} // namespace

TEST(GetXMLValue, NestedBareElementsStayInsideTheContent)
{
    EXPECT_EQ(GetXMLValue(S("<answer>1<answer>2</answer>3</answer>"), S("answer")), S("1<answer>2</answer>3"));
    EXPECT_EQ(GetXMLValue(S("<a>1<a>2</a>3</a><a>4</a>"), S("a")), S("1<a>2</a>3")); // the sibling stays out
    EXPECT_EQ(GetXMLValue(S("<a>1<a>2</a>3"), S("a")), QString());
}

TEST(GetXMLValue, StartTagsWithAttributesAndPrefixSharingNames)
{
    EXPECT_EQ(GetXMLValue(S("<link nodeguidref='01AB'><weight>0.7</weight></link>"), S("link")), S("<weight>0.7</weight>"));
    EXPECT_EQ(GetXMLValue(S("x<link nodeguidref='01AB'/>y"), S("link")), QString());
    EXPECT_EQ(GetXMLValue(S("<link nodeguidref='01AB'/>between</link>"), S("link")), S("between"));
    EXPECT_EQ(GetXMLValue(S("<weightaffirm>0.9</weightaffirm>"), S("weight")), QString());
    EXPECT_EQ(GetXMLValue(S("<weightaffirm>0.9</weightaffirm><weight>0.4</weight>"), S("weight")), S("0.4"));
    EXPECT_EQ(GetXMLValue(S("<Weight>0.4</Weight>"), S("weight")), QString());
}

TEST(GetXMLValue, UndoesOneLevelOfTheTextForm)
{
    EXPECT_EQ(GetXMLValue(S("<s>&amp;lt;</s>"), S("s")), S("&lt;"));
    EXPECT_EQ(GetXMLValue(S("<s>1\r\n2\n3</s>"), S("s")), S("1\r2\r3"));
    EXPECT_EQ(GetXMLContent(S("<s>&amp;lt;</s>"), S("s")).toString(), S("&amp;lt;"));

    // A value read as a view is the text itself only where there is nothing to undo.
    const QString text = S("<e>&amp;H10</e><n>1\r\n2\n3</n><r>1\r2</r>");
    const XMLTagIndex index(text);
    QString storage;
    EXPECT_EQ(index.value(u"e", storage), S("&H10"));
    EXPECT_EQ(index.value(u"n", storage), S("1\r2\r3"));
    EXPECT_EQ(index.value(u"r", storage).data(), text.constData() + text.indexOf(u"1\r2"));
}

TEST(FindInText, ALongTextSearchedInPartsFindsTheFirstOccurrenceAsIndexOfDoes)
{
    const QString end = S("</kelvanenetwork>");
    constexpr qsizetype kMillion = qsizetype(1) << 20;
    QString text(40 * kMillion, u'x');
    // Occurrences across the ends of the stretches searched apart, and more further on.
    for (const qsizetype at : {kMillion - 3, 3 * kMillion - 5, 20 * kMillion + 3, 35 * kMillion - 1})
        text.replace(at, end.size(), end);
    for (const qsizetype from : {qsizetype(0), qsizetype(1), kMillion - 2, kMillion, 3 * kMillion - 4, 21 * kMillion,
                                 35 * kMillion, 39 * kMillion})
        EXPECT_EQ(FindInText(text, end, from), QStringView(text).indexOf(end, from)) << from;
    EXPECT_EQ(FindInText(text, u"</kelvanedocument>"), -1);
}

TEST(ExtractXMLElement, CutsTheFirstElementAndKeepsWhatFollows)
{
    QString text = S("junk<node nodeguid='1'><nodename/></node>tail");
    EXPECT_EQ(ExtractXMLElement(text, S("node")), S("<node nodeguid='1'><nodename/></node>"));
    EXPECT_EQ(text, S("tail"));

    // A start tag with attributes is looked for first; an earlier bare element goes with the prefix.
    text = S("<node>bare</node><node nodeguid='2'>x</node>rest");
    EXPECT_EQ(ExtractXMLElement(text, S("node")), S("<node nodeguid='2'>x</node>"));
    EXPECT_EQ(text, S("rest"));

    text = S("<nodename>a</nodename><node nodeguid='3'>unclosed");
    EXPECT_EQ(ExtractXMLElement(text, S("node")), QString());
    EXPECT_EQ(text, S("<nodename>a</nodename><node nodeguid='3'>unclosed"));

    const QString many = S("<network a='1'/><node nodeguid='1'>a</node><node nodeguid='2'>b</node><node>c</node>end");
    XMLElementWalker walker(many, S("node"));
    EXPECT_EQ(walker.next().toString(), S("<node nodeguid='1'>a</node>"));
    EXPECT_EQ(walker.next().toString(), S("<node nodeguid='2'>b</node>"));
    EXPECT_EQ(walker.next().toString(), S("<node>c</node>"));
    EXPECT_TRUE(walker.next().isEmpty());
    EXPECT_EQ(many.mid(walker.position()), S("end"));
}

TEST(GetXMLAttribute, AnyQuotingAndLetterCase)
{
    EXPECT_EQ(GetXMLAttribute(S("<control type='Fuzzy'>"), S("control"), S("TYPE")), S("Fuzzy"));
    EXPECT_EQ(GetXMLAttribute(S("<control type=\"Fuzzy\">"), S("control"), S("type")), S("Fuzzy"));
    EXPECT_EQ(GetXMLAttribute(S("<control type=Fuzzy>"), S("control"), S("type")), S("Fuzzy"));
    EXPECT_EQ(GetXMLAttribute(S("<font face='MS Sans Serif' size='10'/>"), S("font"), S("face")), S("MS Sans Serif"));
    EXPECT_EQ(GetXMLAttribute(S("<font face='A' size=10/>"), S("font"), S("size")), S("10/"));
    EXPECT_EQ(GetXMLAttribute(S("<x a='1' A='2'>"), S("x"), S("a")), S("2"));
    EXPECT_EQ(GetXMLAttribute(S("<x a='&lt;&apos;&quote;&amp;'>"), S("x"), S("a")), S("<'\"&"));
    EXPECT_EQ(GetXMLAttribute(S("<x a='1'"), S("x"), S("a")), QString());
}

TEST(Escaping, AttributeFormUsesTheQuoteEntityWithAnE)
{
    EXPECT_EQ(EscapeXMLAttribute(S("a&b<c>d'e\"f")), S("a&amp;b&lt;c&gt;d&apos;e&quote;f"));
    EXPECT_EQ(UnescapeXMLAttribute(S("a&amp;b&lt;c&gt;d&apos;e&quote;f")), S("a&b<c>d'e\"f"));
    EXPECT_EQ(UnescapeXMLAttribute(S("&amp;quote;")), S("&quote;"));
}

TEST(Escaping, TextFormKeepsAccentsAndDropsControlCharacters)
{
    EXPECT_EQ(EscapeXMLText(S("a\tb\u00e9\r\nc\rd \u20ac")), S("a\tb\u00e9\nc\nd \u20ac"));
    EXPECT_EQ(EscapeXMLText(S("x\x01y\x7Fz") + QChar(0x85) + QChar(20)), S("xyz") + QChar(20));
    EXPECT_EQ(EscapeXMLText(S("1 < 2 & 3 > 'q' \"d\"")), S("1 &lt; 2 &amp; 3 &gt; 'q' \"d\""));
    EXPECT_EQ(UnescapeXMLText(S("&lt;A&gt;&amp;amp;&apos;\n")), S("<A>&amp;&apos;\r"));
    const QString longText(40000, u'x');
    EXPECT_EQ(EscapeXMLText(longText), longText);
}

TEST(SplitQuoted, KeepsDelimitersInsideEitherQuote)
{
    EXPECT_EQ(SplitQuoted(S("a='1'  b='2'"), u' '), (QStringList {S("a='1'"), QString(), S("b='2'")}));
    EXPECT_EQ(SplitQuoted(S("f='MS Sans' x=\"a b\""), u' '), (QStringList {S("f='MS Sans'"), S("x=\"a b\"")}));
    const auto attributes = SplitAttributes(S(" face='Times New Roman'  x='it''s'"));
    ASSERT_EQ(attributes.size(), 2);
    EXPECT_EQ(attributes[0].name, S("face"));
    EXPECT_EQ(attributes[0].value, S("Times New Roman"));
    EXPECT_EQ(attributes[1].value, S("its"));
}

TEST(GetXMLAttribute, ReadsWhatSplitAttributesReadsOnRandomStartTags)
{
    // The attribute of a start tag is the last piece whose name matches, as the attribute list
    // reads them: random tags of quotes, separators, letter cases and line breaks.
    const QString alphabet = S("aAbB=='\" \" \r\n{ß&;lt") + QChar(0x2026);
    std::uint32_t state = 7;
    const auto next = [&](int below) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % std::uint32_t(below));
    };
    for (int round = 0; round < 3000; ++round) {
        QString attributes;
        for (int i = next(24); i > 0; --i)
            attributes += alphabet[next(int(alphabet.size()))];
        const QString text = S("<x") + attributes + S(">rest");
        for (const QString name : {S("a"), S("B"), S("ab"), S("ß"), S("SS")}) {
            QString expected;
            const qsizetype close = text.indexOf(u'>', 3);
            if (close >= 0) {
                for (const Attribute& attribute : SplitAttributes(QStringView(text).mid(3, close - 3))) {
                    if (attribute.name.toUpper() == name.toUpper())
                        expected = UnescapeXMLAttribute(attribute.value);
                }
            }
            ASSERT_EQ(GetXMLAttribute(text, S("x"), name), expected) << qPrintable(text);
        }
    }
}

TEST(XMLTagIndex, FindsWhatTheTextSearchesFindOnRandomTexts)
{
    // Random texts of tags, prefixes of tags, end tags, nesting, attributes and stray
    // characters: the index gives the same piece of the text for every name.
    const QStringList pieces {S("<a>"), S("</a>"), S("<ab>"), S("</ab>"), S("<a "), S("<a x='>'>"), S("<b>"),
                              S("</b>"), S("<"), S(">"), S(" "), S("/"), S("x"), S("<<a>"), S("</a"), S("a>")};
    std::uint32_t state = 3;
    const auto next = [&](int below) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % std::uint32_t(below));
    };
    for (int round = 0; round < 20000; ++round) {
        QString text;
        for (int i = next(14); i > 0; --i)
            text += pieces[next(int(pieces.size()))];
        const XMLTagIndex index(text);
        for (const QString tag : {S("a"), S("ab"), S("b"), S("c"), S("a b"), S("")}) {
            const QStringView expected = GetXMLContent(text, tag);
            const QStringView actual = index.content(tag);
            ASSERT_EQ(actual.toString(), expected.toString()) << qPrintable(text) << " / " << qPrintable(tag);
            ASSERT_EQ(actual.data(), expected.data()) << qPrintable(text) << " / " << qPrintable(tag);
            ASSERT_EQ(index.contains(tag), text.contains(u'<' + tag + u'>')) << qPrintable(text);
            ASSERT_EQ(index.contains(tag, u' '), text.contains(u'<' + tag + u' ')) << qPrintable(text);
            ASSERT_EQ(index.containsPrefix(tag), text.contains(u'<' + tag)) << qPrintable(text);
        }
        // The pieces from "<a" to the first "</a>" after it, each with the tags of the piece alone.
        qsizetype from = 0;
        for (const XMLTags& piece : index.elements(u"a")) {
            const qsizetype open = text.indexOf(u"<a", from);
            from = text.indexOf(u"</a>", open) + 4;
            ASSERT_EQ(piece.text().toString(), text.mid(open, from - open)) << qPrintable(text);
            ASSERT_EQ(piece.text().data(), text.constData() + open);
            const XMLTagIndex alone(piece.text());
            for (const QString tag : {S("a"), S("ab"), S("b"), S("")}) {
                ASSERT_EQ(piece.content(tag).data(), alone.content(tag).data()) << qPrintable(text) << " / " << qPrintable(tag);
                ASSERT_EQ(piece.content(tag).size(), alone.content(tag).size()) << qPrintable(text) << " / " << qPrintable(tag);
                ASSERT_EQ(piece.contains(tag, u' '), alone.contains(tag, u' ')) << qPrintable(text);
            }
        }
        const qsizetype open = text.indexOf(u"<a", from);
        ASSERT_TRUE(open < 0 || text.indexOf(u"</a>", open) < 0) << qPrintable(text);
    }
}
