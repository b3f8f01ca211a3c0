#include "model/TextLabel.h"

#include "model/FontProperties.h"
#include "platform/TextEncoding.h"

#include <vector>

namespace kelvane {

namespace {

constexpr int PlainText = -1;

// The stored text read through its markup: every character taken as plain text or as link
// text, each with the link it belongs to, and every link that was opened.
struct MarkupScan {
    struct OpenedLink {
        QString target;     // the attributes of the opening tag
        qsizetype start = 0; // characters taken before the link
        qsizetype length = 0; // characters of link text
    };

    QString taken;
    std::vector<int> linkOf; // per taken character: its link, or PlainText
    std::vector<OpenedLink> links;

    void take(QChar c, int link)
    {
        taken += c;
        linkOf.push_back(link);
        if (link != PlainText)
            ++links[static_cast<std::size_t>(link)].length;
    }
};

// Outside a link "<A " opens one (the character after it never ends the tag); the tag runs
// to the next ">"; the link text runs to "</A>" or to the end of the text. A tag without
// ">" ends the scan.
MarkupScan scanMarkup(const QString& html)
{
    enum class State { Outside, InTag, InLinkText };
    static const QString openTag = QStringLiteral("<A ");
    static const QString closeTag = QStringLiteral("</A>");

    MarkupScan scan;
    State state = State::Outside;
    qsizetype targetStart = 0;
    const qsizetype length = html.size();
    qsizetype i = 0;
    while (i < length) {
        switch (state) {
        case State::Outside:
            if (QStringView(html).mid(i, 3) == openTag) {
                scan.links.push_back({QString(), scan.taken.size(), 0});
                targetStart = i + 3;
                i += 4;
                state = State::InTag;
            } else {
                scan.take(html.at(i), PlainText);
                ++i;
            }
            break;
        case State::InTag: {
            const qsizetype tagEnd = html.indexOf(u'>', i);
            if (tagEnd < 0)
                return scan;
            scan.links.back().target = html.mid(targetStart, tagEnd - targetStart);
            i = tagEnd + 1;
            state = State::InLinkText;
            break;
        }
        case State::InLinkText:
            if (QStringView(html).mid(i, 4) == closeTag) {
                i += 4;
                state = State::Outside;
            } else {
                scan.take(html.at(i), static_cast<int>(scan.links.size()) - 1);
                ++i;
            }
            break;
        }
    }
    return scan;
}

// The characters the scan above takes, without their links: the same scan, a run at a time.
QString takenText(const QString& html)
{
    static const QString openTag = QStringLiteral("<A ");
    static const QString closeTag = QStringLiteral("</A>");
    QString taken;
    taken.reserve(html.size());
    qsizetype i = 0;
    while (i < html.size()) {
        const qsizetype open = html.indexOf(openTag, i);
        if (open < 0) {
            taken += QStringView(html).sliced(i);
            break;
        }
        taken += QStringView(html).sliced(i, open - i);
        const qsizetype tagEnd = open + 4 <= html.size() ? html.indexOf(u'>', open + 4) : -1;
        if (tagEnd < 0)
            break;
        const qsizetype close = html.indexOf(closeTag, tagEnd + 1);
        if (close < 0) {
            taken += QStringView(html).sliced(tagEnd + 1);
            break;
        }
        taken += QStringView(html).sliced(tagEnd + 1, close - tagEnd - 1);
        i = close + 4;
    }
    return taken;
}

// The taken characters with "&lt;" and "&gt;" decoded; a decoded character belongs to the
// link of the entity's first character.
struct DecodedText {
    QString text;
    std::vector<int> linkOf;
};

DecodedText decodeEntities(const MarkupScan& scan)
{
    static const QString lt = QStringLiteral("&lt;");
    static const QString gt = QStringLiteral("&gt;");
    DecodedText decoded;
    const QStringView taken(scan.taken);
    for (qsizetype i = 0; i < taken.size();) {
        QChar c = taken.at(i);
        qsizetype width = 1;
        if (taken.mid(i, 4) == lt) {
            c = u'<';
            width = 4;
        } else if (taken.mid(i, 4) == gt) {
            c = u'>';
            width = 4;
        }
        decoded.text += c;
        decoded.linkOf.push_back(scan.linkOf[static_cast<std::size_t>(i)]);
        i += width;
    }
    return decoded;
}

// One character as rich text: the control characters of the format escaped, characters
// beyond ASCII as code-page or Unicode escapes.
void appendRtfChar(QString& rtf, QChar c)
{
    if (c == u'\\' || c == u'{' || c == u'}') {
        rtf += u'\\';
        rtf += c;
    } else if (c.unicode() > 127) {
        const int code = platform::encoding::ansiCode(c);
        if (code >= 0)
            rtf += QStringLiteral("\\'") + QString::number(code, 16).rightJustified(2, u'0');
        else
            rtf += QStringLiteral("\\u") + QString::number(static_cast<qint16>(c.unicode())) + u'?';
    } else {
        rtf += c;
    }
}

} // namespace

std::shared_ptr<FontProperties> TextLabel::Font()
{
    if (!m_font)
        m_font = std::make_shared<FontProperties>();
    return m_font;
}

FontProperties TextLabel::fontOrDefaults() const
{
    return m_font ? *m_font : FontProperties();
}

std::shared_ptr<TextLabel> TextLabel::Clone()
{
    auto copy = std::make_shared<TextLabel>();
    copy->HTML = HTML;
    // A label without a font yet leaves its copy without one: each makes its own when asked.
    if (m_font)
        copy->setFont(m_font->Clone());
    copy->ForeColor = ForeColor;
    return copy;
}

Collection<std::shared_ptr<URI>> TextLabel::URIs() const
{
    Collection<std::shared_ptr<URI>> uris;
    for (const auto& link : scanMarkup(HTML).links) {
        if (link.length > 0) {
            uris.Add(std::make_shared<URI>(URI {link.target, static_cast<qint32>(link.start),
                                                 static_cast<qint32>(link.length)}));
        }
    }
    return uris;
}

QString TextLabel::Text() const
{
    // Most texts hold no tag and no entity: they are their own plain text.
    if (!HTML.contains(u'&') && !HTML.contains(u'<'))
        return HTML;
    // "&lt;" and "&gt;" cannot overlap, and neither decodes into the other.
    return takenText(HTML).replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
}

bool TextLabel::hasText() const
{
    if (HTML.isEmpty())
        return false;
    // Outside a link tag every character is taken, and an entity stands for one.
    if (!HTML.contains(u'<'))
        return true;
    return !Text().isEmpty();
}

QString TextLabel::RTF() const
{
    // Links are marked on the decoded text, so an entity before a link does not shift it.
    const DecodedText decoded = decodeEntities(scanMarkup(HTML));
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans "
                                 "Serif;}}{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\f0\\fs17 ");
    int currentLink = PlainText;
    for (qsizetype i = 0; i < decoded.text.size(); ++i) {
        const int link = decoded.linkOf[static_cast<std::size_t>(i)];
        if (link != currentLink) {
            if (currentLink != PlainText)
                rtf += QStringLiteral("\\cf0\\ulnone ");
            if (link != PlainText)
                rtf += QStringLiteral("\\cf1\\ul ");
            currentLink = link;
        }
        appendRtfChar(rtf, decoded.text.at(i));
    }
    if (currentLink != PlainText)
        rtf += QStringLiteral("\\cf0\\ulnone ");
    return rtf + QStringLiteral("\\par }");
}

} // namespace kelvane
