#include "model/xml/basXML.h"

#include "model/basLibrary.h"
#include "model/xml/TextSearch.h"
#include "model/xml/XMLElementWalker.h"

#include <algorithm>

namespace basXML {

namespace {

// Characters the text form drops: control characters other than TAB, LF and CR, except
// the codes 20 to 31 that documents have always kept.
bool droppedFromText(QChar c)
{
    const char16_t u = c.unicode();
    if (u == u'\t' || u == u'\n' || u == u'\r')
        return false;
    return u < 20 || u == 0x7F || (u >= 0x80 && u <= 0x9F);
}

struct Replacement {
    const char16_t* search;
    const char16_t* replacement;
};

// Applies each replacement in turn, over the whole text, in the order given.
template <std::size_t N>
QString replaceInTurn(QString text, const Replacement (&replacements)[N])
{
    for (const Replacement& r : replacements)
        text = basLibrary::ReplaceAll(text, QString::fromUtf16(r.search), QString::fromUtf16(r.replacement));
    return text;
}

// Calls `visit` with each piece between the delimiters that stand outside quotes (a single
// or a double quote opens and closes); empty pieces included.
template <class Visit>
void forEachQuotedPiece(QStringView text, QChar delimiter, Visit&& visit)
{
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"' || c == u'\'') {
            quoted = !quoted;
        } else if (c == delimiter && !quoted) {
            visit(text.mid(start, i - start));
            start = i + 1;
        }
    }
    visit(text.mid(start));
}

// Whether the two names read the same in upper case; without making the upper-case texts of
// ASCII names. Upper-casing keeps ASCII characters in their places, so the names are compared
// one character at a time as far as both are ASCII; in full only from a character that is not.
bool sameInUpperCase(QStringView a, QStringView b)
{
    const auto inFull = [&] { return a.toString().toUpper() == b.toString().toUpper(); };
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if ((x | y) >= 128)
            return inFull();
        if (x != y && upper(x) != upper(y))
            return false;
    }
    if (a.size() == b.size())
        return true;
    const QStringView rest = (a.size() > b.size() ? a : b).mid(common);
    return std::any_of(rest.begin(), rest.end(), [](QChar c) { return c.unicode() >= 128; }) && inFull();
}

// An attribute's value as the attribute list gives it: every "'" dropped, the attribute form
// not undone.
QString attributeValue(QStringView value)
{
    QString kept = value.toString();
    kept.remove(u'\'');
    return kept;
}

// Whether the text form of the text has anything to undo.
bool holdsTextFormEscapes(QStringView text)
{
    return basLibrary::ContainsAnyOf(text, u"&\n");
}

} // namespace

XMLTag::XMLTag(QStringView name) : m_nameLength(name.size())
{
    // "<name>", "<name " and "</name>" one after the other.
    m_text.resize(3 * name.size() + 7);
    QChar* out = m_text.data();
    const auto add = [&](QStringView before, QChar after) {
        out = std::copy(before.begin(), before.end(), out);
        out = std::copy(name.begin(), name.end(), out);
        *out++ = after;
    };
    add(u"<", u'>');
    add(u"<", u' ');
    add(u"</", u'>');
}

QStringView XMLTag::start() const
{
    return QStringView(m_text.data(), 1 + m_nameLength);
}

QStringView XMLTag::bare() const
{
    return QStringView(m_text.data(), 2 + m_nameLength);
}

QStringView XMLTag::withAttributes() const
{
    return QStringView(m_text.data() + 2 + m_nameLength, 2 + m_nameLength);
}

QStringView XMLTag::end() const
{
    return QStringView(m_text.data() + 4 + 2 * m_nameLength, 3 + m_nameLength);
}

QStringView GetXMLContent(QStringView text, QStringView tag)
{
    const XMLTag tags(tag);
    const QStringView bare = tags.bare();
    const QStringView endTag = tags.end();

    qsizetype start = FindInText(text, bare);
    if (start >= 0) {
        start += bare.size();
    } else {
        const qsizetype tagAt = FindInText(text, tags.withAttributes());
        if (tagAt < 0)
            return {};
        const qsizetype close = text.indexOf(u'>', tagAt + tag.size() + 2);
        if (close < 0)
            return {};
        start = close + 1;
    }

    // The matching end tag: every bare start tag before an end tag opens one more level. The
    // start tags are looked for only up to the end tag (a start tag that begins before it ends
    // before the end tag's last character), not through the rest of the text.
    qsizetype depth = 1;
    qsizetype from = start;
    qsizetype openFrom = start;
    for (;;) {
        const qsizetype end = FindInText(text, endTag, from);
        if (end < 0)
            return {};
        const QStringView beforeEnd = text.left(end + bare.size() - 1);
        for (qsizetype open = beforeEnd.indexOf(bare, openFrom); open >= 0; open = beforeEnd.indexOf(bare, openFrom)) {
            ++depth;
            openFrom = open + bare.size();
        }
        if (--depth == 0)
            return text.mid(start, end - start);
        from = end + endTag.size();
    }
}

QString GetXMLValue(QStringView text, QStringView tag)
{
    return UnescapeXMLText(GetXMLContent(text, tag).toString());
}

QString ExtractXMLElement(QString& text, const QString& tag)
{
    XMLElementWalker walker(text, tag);
    const QStringView found = walker.next();
    if (found.isEmpty())
        return {};
    const qsizetype start = found.data() - text.constData();
    const qsizetype end = walker.position();
    if (end - start <= text.size() - end) {
        QString element = found.toString();
        text.remove(0, end);
        return element;
    }
    // An element that is most of the text (a document's first network) is cut out of it in
    // place rather than copied.
    QString rest = QStringView(text).mid(end).toString();
    text.truncate(end);
    text.remove(0, start);
    QString element = std::move(text);
    text = std::move(rest);
    return element;
}

QString GetXMLAttribute(QStringView text, QStringView tag, QStringView name)
{
    const XMLTag tags(tag);
    const qsizetype tagAt = text.indexOf(tags.start());
    if (tagAt < 0)
        return {};
    const qsizetype first = tagAt + 1 + tag.size() + 1; // past the name and one blank
    const qsizetype close = text.indexOf(u'>', first);
    if (close < 0)
        return {};

    // As SplitAttributes reads them; only the value of a matching name is made.
    QString result;
    QString storage;
    forEachQuotedPiece(text.mid(first, close - first), u' ', [&](QStringView piece) {
        if (piece.isEmpty())
            return;
        const basLibrary::PairParts pair = basLibrary::PartsOfPair(piece, storage);
        if (sameInUpperCase(pair.key, name))
            result = UnescapeXMLAttribute(attributeValue(pair.value));
    });
    return result;
}

QList<Attribute> SplitAttributes(QStringView attributeText)
{
    QList<Attribute> attributes;
    QString storage;
    forEachQuotedPiece(attributeText, u' ', [&](QStringView piece) {
        if (piece.isEmpty())
            return;
        const basLibrary::PairParts pair = basLibrary::PartsOfPair(piece, storage);
        attributes.append({pair.key.toString(), attributeValue(pair.value)});
    });
    return attributes;
}

QString EscapeXMLAttribute(const QString& text)
{
    if (!basLibrary::ContainsAnyOf(text, u"&<>'\""))
        return text;
    return replaceInTurn(text, {{u"&", u"&amp;"}, {u"<", u"&lt;"}, {u">", u"&gt;"}, {u"'", u"&apos;"}, {u"\"", u"&quote;"}});
}

QString UnescapeXMLAttribute(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    return replaceInTurn(text, {{u"&lt;", u"<"}, {u"&gt;", u">"}, {u"&apos;", u"'"}, {u"&quote;", u"\""}, {u"&amp;", u"&"}});
}

QString EscapeXMLText(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (!droppedFromText(c))
            kept.append(c);
    }
    if (!basLibrary::ContainsAnyOf(kept, u"&<>\r"))
        return kept;
    return replaceInTurn(kept, {{u"&", u"&amp;"}, {u"<", u"&lt;"}, {u">", u"&gt;"}, {u"\r\n", u"\n"}, {u"\r", u"\n"}});
}

QString UnescapeXMLText(const QString& text)
{
    if (!holdsTextFormEscapes(text))
        return text;
    return replaceInTurn(text, {{u"&lt;", u"<"}, {u"&gt;", u">"}, {u"&amp;", u"&"}, {u"\r\n", u"\r"}, {u"\n", u"\r"}});
}

QStringView UnescapeXMLText(QStringView text, QString& storage)
{
    if (!holdsTextFormEscapes(text))
        return text;
    storage = UnescapeXMLText(text.toString());
    return storage;
}

QStringList SplitQuoted(QStringView text, QChar delimiter)
{
    QStringList pieces;
    forEachQuotedPiece(text, delimiter, [&](QStringView piece) { pieces.append(piece.toString()); });
    return pieces;
}

} // namespace basXML
