#include "model/xml/XMLElementWalker.h"

#include "model/xml/TextSearch.h"

namespace basXML {

XMLElementWalker::XMLElementWalker(QStringView text, const QString& tag)
    : m_text(text), m_withAttributes(u'<' + tag + u' '), m_bare(u'<' + tag + u'>'),
      m_end(QStringLiteral("</") + tag + u'>')
{
}

qsizetype XMLElementWalker::find(const QString& pattern, qsizetype& found)
{
    if (found == kUnknown || (found >= 0 && found < m_from)) {
        found = FindInText(m_text, pattern, m_from);
        m_searched += (found < 0 ? m_text.size() : found + pattern.size()) - m_from;
    }
    return found; // kNone stays: nothing further holds it
}

QStringView XMLElementWalker::next()
{
    // A start tag with attributes wins over an earlier bare one, which is skipped with
    // whatever precedes the element taken.
    qsizetype start = find(m_withAttributes, m_nextWithAttributes);
    if (start < 0)
        start = find(m_bare, m_nextBare);
    if (start < 0)
        return {};
    const qsizetype close = FindInText(m_text, m_end, start);
    m_searched += (close < 0 ? m_text.size() : close + m_end.size()) - start;
    if (close < 0)
        return {};
    const qsizetype end = close + m_end.size();
    m_from = end;
    return m_text.mid(start, end - start);
}

} // namespace basXML
