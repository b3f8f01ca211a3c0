#include "server/ReplyElements.h"

namespace kelvane::server::replyelements {

namespace {

// One piece of markup: a start tag, an end tag, an empty-element tag, or anything else
// (comment, character data section, processing instruction, document type).
struct Tag {
    enum Kind { Start, End, Empty, Other } kind = Other;
    QStringView name;
    qsizetype begin = 0; // the "<"
    qsizetype end = 0;   // just past the ">"
};

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// The piece of markup that ends at the first `terminator` after `from`.
std::optional<Tag> otherUpTo(QStringView text, qsizetype begin, qsizetype from, QStringView terminator)
{
    const qsizetype at = text.indexOf(terminator, from);
    if (at < 0)
        return std::nullopt;
    return Tag {Tag::Other, {}, begin, at + terminator.size()};
}

// A document type declaration ends at the first ">" outside its internal subset.
std::optional<Tag> documentType(QStringView text, qsizetype begin)
{
    bool inSubset = false;
    for (qsizetype i = begin + 2; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'[')
            inSubset = true;
        else if (c == u']')
            inSubset = false;
        else if (c == u'>' && !inSubset)
            return Tag {Tag::Other, {}, begin, i + 1};
    }
    return std::nullopt;
}

// The markup that starts at `begin` (a "<"); none when it does not end or has no name.
std::optional<Tag> readTag(QStringView text, qsizetype begin)
{
    const QStringView rest = text.mid(begin);
    if (rest.startsWith(u"<!--"))
        return otherUpTo(text, begin, begin + 4, u"-->");
    if (rest.startsWith(u"<![CDATA["))
        return otherUpTo(text, begin, begin + 9, u"]]>");
    if (rest.startsWith(u"<?"))
        return otherUpTo(text, begin, begin + 2, u"?>");
    if (rest.startsWith(u"<!"))
        return documentType(text, begin);

    const bool closing = rest.startsWith(u"</");
    qsizetype i = begin + (closing ? 2 : 1);
    const qsizetype nameStart = i;
    while (i < text.size() && !isBlank(text[i]) && text[i] != u'>' && text[i] != u'/' && text[i] != u'<')
        ++i;
    if (i == nameStart)
        return std::nullopt;
    const QStringView name = text.mid(nameStart, i - nameStart);

    QChar quote;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            break;
        } else if (c == u'<') {
            return std::nullopt;
        }
    }
    if (i >= text.size())
        return std::nullopt;
    const Tag::Kind kind = closing ? Tag::End : (text[i - 1] == u'/' ? Tag::Empty : Tag::Start);
    return Tag {kind, name, begin, i + 1};
}

// The end tag that closes the element `name` whose start tag ends at `from`.
std::optional<Tag> matchingEnd(QStringView text, qsizetype from, QStringView name)
{
    QList<QStringView> open {name};
    qsizetype at = from;
    while ((at = text.indexOf(u'<', at)) >= 0) {
        const std::optional<Tag> tag = readTag(text, at);
        if (!tag)
            return std::nullopt;
        if (tag->kind == Tag::Start) {
            open.append(tag->name);
        } else if (tag->kind == Tag::End) {
            if (tag->name != open.last())
                return std::nullopt;
            open.removeLast();
            if (open.isEmpty())
                return tag;
        }
        at = tag->end;
    }
    return std::nullopt;
}

// Calls `visit(element)` for each element directly inside `content` until it returns false.
// False when the level is not well formed up to where the walk stopped.
template <class Visit>
bool forEachChild(QStringView content, Visit&& visit)
{
    qsizetype at = 0;
    while ((at = content.indexOf(u'<', at)) >= 0) {
        const std::optional<Tag> tag = readTag(content, at);
        if (!tag || tag->kind == Tag::End)
            return false;
        if (tag->kind == Tag::Other) {
            at = tag->end;
            continue;
        }
        ReplyElement element {tag->name, content.mid(tag->begin, tag->end - tag->begin), {}};
        if (tag->kind == Tag::Start) {
            const std::optional<Tag> end = matchingEnd(content, tag->end, tag->name);
            if (!end)
                return false;
            element.markup = content.mid(tag->begin, end->end - tag->begin);
            element.content = content.mid(tag->end, end->begin - tag->end);
        }
        at = tag->begin + element.markup.size();
        if (!visit(element))
            return true;
    }
    return true;
}

// The character a reference names ("lt", "#60", "#x3C"); none for any other name.
std::optional<char32_t> referencedCharacter(QStringView name)
{
    if (name == u"lt")
        return U'<';
    if (name == u"gt")
        return U'>';
    if (name == u"amp")
        return U'&';
    if (name == u"quot")
        return U'"';
    if (name == u"apos")
        return U'\'';
    if (!name.startsWith(u'#') || name.size() < 2)
        return std::nullopt;
    const bool hex = name[1] == u'x' || name[1] == u'X';
    bool ok = false;
    const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    return char32_t(code);
}

} // namespace

QList<ReplyElement> children(QStringView content)
{
    QList<ReplyElement> found;
    if (!forEachChild(content, [&](const ReplyElement& element) {
            found.append(element);
            return true;
        }))
        return {};
    return found;
}

std::optional<ReplyElement> child(QStringView content, QStringView name)
{
    std::optional<ReplyElement> found;
    forEachChild(content, [&](const ReplyElement& element) {
        if (element.name != name)
            return true;
        found = element;
        return false;
    });
    return found;
}

std::optional<ReplyElement> select(QStringView text, QStringView path)
{
    std::optional<ReplyElement> current;
    QStringView level = text;
    for (const QStringView name : path.tokenize(u'/')) {
        current = child(level, name);
        if (!current)
            return std::nullopt;
        level = current->content;
    }
    return current;
}

QString text(const ReplyElement& element) { return unescapeOnce(element.content); }

QString trimmedText(const ReplyElement& element)
{
    QStringView content = element.content;
    while (!content.isEmpty() && isBlank(content.front()))
        content = content.mid(1);
    while (!content.isEmpty() && isBlank(content.back()))
        content.chop(1);
    return unescapeOnce(content);
}

QString unescapeOnce(QStringView text)
{
    constexpr qsizetype kLongestReference = 10; // "&#x10FFFF;"
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    qsizetype amp;
    while ((amp = text.indexOf(u'&', from)) >= 0) {
        result.append(text.mid(from, amp - from));
        const qsizetype semicolon = text.indexOf(u';', amp + 1);
        std::optional<char32_t> character;
        if (semicolon > amp + 1 && semicolon - amp <= kLongestReference)
            character = referencedCharacter(text.mid(amp + 1, semicolon - amp - 1));
        if (character) {
            result.append(QString::fromUcs4(&*character, 1));
            from = semicolon + 1;
        } else {
            result.append(u'&');
            from = amp + 1;
        }
    }
    result.append(text.mid(from));
    return result;
}

} // namespace kelvane::server::replyelements
