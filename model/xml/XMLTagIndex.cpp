#include "model/xml/XMLTagIndex.h"

#include "model/xml/basXML.h"

namespace basXML {

namespace {

bool endsName(QChar c)
{
    return c == u'>' || c == u' ' || c == u'<';
}

} // namespace

XMLTagIndex::XMLTagIndex(QStringView text) : m_text(text)
{
    for (qsizetype open = text.indexOf(u'<'); open >= 0;) {
        qsizetype end = open + 1;
        while (end < text.size() && !endsName(text[end]))
            ++end;
        const QChar next = end < text.size() ? text[end] : QChar();
        m_tags.append({open, text.mid(open + 1, end - open - 1), next});
        open = next == u'<' ? end : text.indexOf(u'<', end);
    }
}

// "<name>" (next '>') or "<name " (next ' ') stands at the tag.
bool XMLTagIndex::isStart(const Tag& tag, QStringView name, QChar next) const
{
    // Most tags differ in length: that is told before their characters are compared.
    return tag.name.size() == name.size() && tag.next == next && tag.name == name;
}

// "</name>" stands at the tag.
bool XMLTagIndex::isEnd(const Tag& tag, QStringView name) const
{
    return tag.next == u'>' && tag.name.size() == name.size() + 1 && tag.name.front() == u'/' && tag.name.mid(1) == name;
}

bool XMLTagIndex::listable(QStringView name)
{
    for (const QChar c : name) {
        if (endsName(c))
            return false;
    }
    return !name.isEmpty();
}

bool XMLTagIndex::contains(QStringView name, QChar next) const
{
    if (!listable(name))
        return m_text.contains(u'<' + name.toString() + next);
    for (const Tag& tag : m_tags) {
        if (isStart(tag, name, next))
            return true;
    }
    return false;
}

bool XMLTagIndex::containsPrefix(QStringView prefix) const
{
    if (!listable(prefix))
        return m_text.contains(u'<' + prefix.toString());
    for (const Tag& tag : m_tags) {
        if (tag.name.startsWith(prefix))
            return true;
    }
    return false;
}

QStringView XMLTagIndex::content(QStringView tag) const
{
    // A name that holds a character ending a name is looked for in the text.
    if (!listable(tag))
        return GetXMLContent(m_text, tag);

    // The first bare start tag, else the first start tag with attributes (the content then
    // begins after its first ">"); both are looked for in one pass, as most tags looked up
    // are missing.
    qsizetype first = -1;
    qsizetype start = -1;
    qsizetype withAttributes = -1;
    for (qsizetype i = 0; i < m_tags.size(); ++i) {
        if (isStart(m_tags[i], tag, u'>')) {
            first = i + 1;
            start = m_tags[i].at + tag.size() + 2;
            break;
        }
        if (withAttributes < 0 && isStart(m_tags[i], tag, u' '))
            withAttributes = i;
    }
    if (start < 0) {
        if (withAttributes < 0)
            return {};
        const qsizetype close = m_text.indexOf(u'>', m_tags[withAttributes].at + tag.size() + 2);
        if (close < 0)
            return {};
        start = close + 1;
        first = withAttributes + 1;
        while (first < m_tags.size() && m_tags[first].at < start)
            ++first;
    }

    // The matching end tag: every bare start tag on the way opens one more level.
    qsizetype depth = 1;
    for (qsizetype i = first; i < m_tags.size(); ++i) {
        if (isStart(m_tags[i], tag, u'>')) {
            ++depth;
        } else if (isEnd(m_tags[i], tag) && --depth == 0) {
            return m_text.mid(start, m_tags[i].at - start);
        }
    }
    return {};
}

QString XMLTagIndex::value(QStringView tag) const
{
    return UnescapeXMLText(content(tag).toString());
}

} // namespace basXML
