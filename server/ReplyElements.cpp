#include "server/ReplyElements.h"

namespace kelvane::server::replyelements {

namespace {

thread_local ScanMeter* innermostMeter = nullptr;

// The first `what` in `text` at or after `from` (-1 when none), counted as looked at.
template <class What>
qsizetype find(QStringView text, What what, qsizetype from)
{
    const qsizetype at = text.indexOf(what, from);
    ScanMeter::count((at < 0 ? text.size() : at + 1) - from);
    return at;
}

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
    const qsizetype at = find(text, terminator, from);
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
        else if (c == u'>' && !inSubset) {
            ScanMeter::count(i + 1 - begin);
            return Tag {Tag::Other, {}, begin, i + 1};
        }
    }
    ScanMeter::count(text.size() - begin);
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
            ScanMeter::count(i - begin);
            return std::nullopt;
        }
    }
    ScanMeter::count(std::min(i + 1, text.size()) - begin);
    if (i >= text.size())
        return std::nullopt;
    const Tag::Kind kind = closing ? Tag::End : (text[i - 1] == u'/' ? Tag::Empty : Tag::Start);
    return Tag {kind, name, begin, i + 1};
}

// The elements directly inside `content`, one at a time, until `visit` returns false.
template <class Visit>
class ChildVisitor : public ElementVisitor {
public:
    explicit ChildVisitor(Visit& visit) : m_visit(visit) {}
    bool closed(const ReplyElement& element, int depth) override { return depth > 0 || m_visit(element); }

private:
    Visit& m_visit;
};

// Calls `visit(element)` for each element directly inside `content` until it returns false.
// False when the level is not well formed up to where the walk stopped.
template <class Visit>
bool forEachChild(QStringView content, Visit&& visit)
{
    ChildVisitor<Visit> children(visit);
    return walk(content, children);
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

bool walk(QStringView text, ElementVisitor& visitor)
{
    struct Open {
        QStringView name;
        qsizetype begin;        // of the start tag
        qsizetype contentBegin; // just past it
    };
    QList<Open> open;
    qsizetype at = 0;
    while ((at = find(text, u'<', at)) >= 0) {
        const std::optional<Tag> tag = readTag(text, at);
        if (!tag)
            return false;
        at = tag->end;
        const int depth = int(open.size());
        switch (tag->kind) {
        case Tag::Other:
            break;
        case Tag::Start:
            visitor.opened(tag->name, depth);
            open.append({tag->name, tag->begin, tag->end});
            break;
        case Tag::Empty:
            visitor.opened(tag->name, depth);
            if (!visitor.closed({tag->name, text.mid(tag->begin, tag->end - tag->begin), {}}, depth))
                return true;
            break;
        case Tag::End: {
            if (open.isEmpty() || open.last().name != tag->name)
                return false;
            const Open element = open.takeLast();
            const ReplyElement closed {element.name, text.mid(element.begin, tag->end - element.begin),
                                       text.mid(element.contentBegin, tag->begin - element.contentBegin)};
            if (!visitor.closed(closed, depth - 1))
                return true;
            break;
        }
        }
    }
    return open.isEmpty();
}

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
    while ((amp = find(text, u'&', from)) >= 0) {
        result.append(text.mid(from, amp - from));
        // The reference's end: a ";" no further than the longest reference would reach, and
        // before the next "&".
        const qsizetype reach = std::min(text.size(), amp + kLongestReference + 1);
        qsizetype semicolon = amp + 1;
        while (semicolon < reach && text[semicolon] != u';' && text[semicolon] != u'&')
            ++semicolon;
        ScanMeter::count(semicolon - amp);
        std::optional<char32_t> character;
        if (semicolon < reach && text[semicolon] == u';' && semicolon > amp + 1)
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

ScanMeter::ScanMeter() : m_outer(innermostMeter) { innermostMeter = this; }

ScanMeter::~ScanMeter() { innermostMeter = m_outer; }

void ScanMeter::count(qsizetype characters)
{
    for (ScanMeter* meter = innermostMeter; meter; meter = meter->m_outer)
        meter->m_scanned += characters;
}

} // namespace kelvane::server::replyelements
