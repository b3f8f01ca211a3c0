#include "model/xml/XMLTagIndex.h"

#include "model/xml/basXML.h"

#include <algorithm>

namespace basXML {

namespace {

bool endsName(QChar c)
{
    // Names are mostly letters, which all come after ">".
    return c.unicode() <= u'>' && (c == u'>' || c == u' ' || c == u'<');
}

bool sameName(QStringView a, QStringView b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

bool startsWithName(QStringView name, QStringView prefix)
{
    return name.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), name.begin());
}

// A name holding a character that ends a name is not listed as it stands.
bool listable(QStringView name)
{
    return !name.isEmpty() && std::none_of(name.begin(), name.end(), endsName);
}

// "<name>" (next '>') or "<name " (next ' ') stands at the tag of that name and ending.
bool isStart(QStringView tagName, QChar tagNext, QStringView name, QChar next)
{
    return tagNext == next && sameName(tagName, name);
}

// "</name>" stands at the tag of that name and ending.
bool isEnd(QStringView tagName, QChar tagNext, QStringView name)
{
    return tagNext == u'>' && tagName.size() == name.size() + 1 && tagName.front() == u'/'
        && std::equal(name.begin(), name.end(), tagName.begin() + 1);
}

} // namespace

XMLTagIndex::XMLTagIndex(QStringView text) : XMLTags(text)
{
    for (auto open = std::find(text.begin(), text.end(), u'<'); open != text.end();) {
        const auto end = std::find_if(open + 1, text.end(), endsName);
        const QChar next = end != text.end() ? *end : QChar();
        m_list.append({QStringView(open + 1, end), next});
        open = next == u'<' ? end : std::find(end, text.end(), u'<');
    }
    setTags(m_list.cbegin(), m_list.cend());
}

bool XMLTags::contains(QStringView name, QChar next) const
{
    if (!listable(name))
        return m_text.contains(u'<' + name.toString() + next);
    return std::any_of(m_first, m_last, [&](const Tag& tag) { return isStart(tag.name, tag.next, name, next); });
}

bool XMLTags::containsPrefix(QStringView prefix) const
{
    if (!listable(prefix))
        return m_text.contains(u'<' + prefix.toString());
    return std::any_of(m_first, m_last, [&](const Tag& tag) { return startsWithName(tag.name, prefix); });
}

QStringView XMLTags::content(QStringView tag) const
{
    // A name that holds a character ending a name is looked for in the text.
    if (!listable(tag))
        return GetXMLContent(m_text, tag);

    // The first bare start tag, else the first start tag with attributes (the content then
    // begins after its first ">"); both are looked for in one pass, as most tags looked up
    // are missing.
    const Tag* first = nullptr;
    qsizetype start = -1;
    const Tag* withAttributes = nullptr;
    for (const Tag* t = m_first; t != m_last; ++t) {
        if (!sameName(t->name, tag))
            continue;
        if (t->next == u'>') {
            first = t + 1;
            start = at(*t) + tag.size() + 2;
            break;
        }
        if (!withAttributes && t->next == u' ')
            withAttributes = t;
    }
    if (start < 0) {
        if (!withAttributes)
            return {};
        const qsizetype close = m_text.indexOf(u'>', at(*withAttributes) + tag.size() + 2);
        if (close < 0)
            return {};
        start = close + 1;
        first = withAttributes + 1;
        while (first != m_last && at(*first) < start)
            ++first;
    }

    // The matching end tag: every bare start tag on the way opens one more level.
    qsizetype depth = 1;
    for (const Tag* t = first; t != m_last; ++t) {
        if (isStart(t->name, t->next, tag, u'>')) {
            ++depth;
        } else if (isEnd(t->name, t->next, tag) && --depth == 0) {
            return m_text.mid(start, at(*t) - start);
        }
    }
    return {};
}

QString XMLTags::value(QStringView tag) const
{
    return UnescapeXMLText(content(tag).toString());
}

QStringView XMLTags::value(QStringView tag, QString& storage) const
{
    return UnescapeXMLText(content(tag), storage);
}

QVarLengthArray<XMLTags, 8> XMLTags::elements(QStringView name) const
{
    Q_ASSERT(listable(name));
    QVarLengthArray<XMLTags, 8> found;
    for (const Tag* from = m_first;;) {
        const Tag* open = std::find_if(from, m_last, [&](const Tag& tag) { return startsWithName(tag.name, name); });
        if (open == m_last)
            break;
        const Tag* close = std::find_if(open + 1, m_last, [&](const Tag& tag) { return isEnd(tag.name, tag.next, name); });
        if (close == m_last)
            break;
        from = close + 1;
        const QChar* begin = open->name.data() - 1;
        const QChar* end = close->name.data() + close->name.size() + 1; // past its ">"
        found.append(XMLTags(QStringView(begin, end), open, from));
    }
    return found;
}

} // namespace basXML
