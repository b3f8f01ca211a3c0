#include "ModelTestSupport.h"

using kelvane::TextLabel;
using namespace Qt::Literals::StringLiterals;

namespace {

struct Span {
    QString uri;
    qint32 start;
    qint32 length;
    bool operator==(const Span&) const = default;
};

struct Markup {
    const char16_t* html;
    const char16_t* text;
    std::vector<Span> spans;
};

const QString rtfHeader = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}}"
    "{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\f0\\fs17 ");

TextLabel labelOf(const QString& html)
{
    TextLabel label;
    label.setText(html);
    return label;
}

QString rtfOf(const char16_t* html)
{
    const QString rtf = labelOf(QString::fromUtf16(html)).RTF();
    EXPECT_TRUE(rtf.startsWith(rtfHeader) && rtf.endsWith(QStringLiteral("\\par }")));
    return rtf.mid(rtfHeader.size()).chopped(6);
}

} // namespace

TEST(TextLabel, ScansLinksAndEntities)
{
    const std::vector<Markup> cases = {
        {u"Read<A HREF='a.htm'>more</A>.", u"Readmore.", {{u"HREF='a.htm'"_s, 4, 4}}},
        {u"<A x>ab</A> and <A y>cd</A>e", u"ab and cde", {{u"x"_s, 0, 2}, {u"y"_s, 7, 2}}},
        // Only the exact tags and two entities are markup.
        {u"a &lt;b&gt; &amp; c", u"a <b> &amp; c", {}},
        {u"<a href='x'>y</a>", u"<a href='x'>y</a>", {}},
        {u"a>b", u"a>b", {}},
        // Spans count stored characters, an entity as four.
        {u"&lt;<A h>x</A>", u"<x", {{u"h"_s, 4, 1}}},
        // Broken links at the edges of the text.
        {u"<A x>ab</A>c", u"abc", {{u"x"_s, 0, 2}}},
        {u"ab<A x></A>cd", u"abcd", {}},
        {u"ab<A x>cdef", u"abcdef", {{u"x"_s, 2, 4}}},
        {u"ab<A x>cd", u"abcd", {{u"x"_s, 2, 2}}},
        {u"ab<A xyz", u"ab", {}},
        {u"<A >x</A>", u"", {}}, // the character right after "<A " never closes the tag
        {u"plain text", u"plain text", {}},
        {u"", u"", {}},
    };
    for (const auto& c : cases) {
        const TextLabel label = labelOf(QString::fromUtf16(c.html));
        EXPECT_EQ(label.Text(), QString::fromUtf16(c.text)) << label.HTML.toStdString();
        EXPECT_EQ(label.hasText(), !label.Text().isEmpty()) << label.HTML.toStdString();
        std::vector<Span> spans;
        for (const auto& uri : label.URIs())
            spans.push_back({uri->URI, uri->SelStart, uri->SelLength});
        EXPECT_EQ(spans, c.spans) << label.HTML.toStdString();
    }
}

TEST(TextLabel, WrittenTextReadsBackUnchanged)
{
    const QString text = QStringLiteral("Is it > 5 & < 10?\r\nYes.");
    EXPECT_EQ(labelOf(text).HTML, text);
    EXPECT_EQ(labelOf(text).Text(), text);
}

TEST(TextLabel, RichTextMarksLinksBlueAndUnderlined)
{
    EXPECT_EQ(rtfOf(u"plain text"), QStringLiteral("plain text"));
    EXPECT_EQ(rtfOf(u"Read<A HREF='a'>more</A>."), QStringLiteral("Read\\cf1\\ul more\\cf0\\ulnone ."));
    EXPECT_EQ(rtfOf(u"<A x>ab</A><A y>cd</A>"),
              QStringLiteral("\\cf1\\ul ab\\cf0\\ulnone \\cf1\\ul cd\\cf0\\ulnone "));
    // The link stays on its own characters after entities.
    EXPECT_EQ(rtfOf(u"&lt;b&gt; <A h>go</A>!"), QStringLiteral("<b> \\cf1\\ul go\\cf0\\ulnone !"));
}

TEST(TextLabel, RichTextEscapesItsControlCharactersAndNonAsciiText)
{
    EXPECT_EQ(rtfOf(u"C:\\dir {x} caf\u00e9 \u20ac \u03a9"), QStringLiteral("C:\\\\dir \\{x\\} caf\\'e9 \\'80 \\u937?"));
    EXPECT_EQ(rtfOf(u"<A h>{a}</A>"), QStringLiteral("\\cf1\\ul \\{a\\}\\cf0\\ulnone "));
}
