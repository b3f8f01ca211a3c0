#pragma once

#include <QString>
#include <QStringView>

namespace basXML {

// Takes the elements `tag` out of a text one after the other, as repeated calls of
// ExtractXMLElement would, without copying the rest of the text each time: every search
// starts where the last element ended, and a start tag form found missing is not looked
// for again. The text must outlive the walker.
class XMLElementWalker {
public:
    XMLElementWalker(QStringView text, const QString& tag);

    // The next whole element (from its start tag to its first end tag), or an empty view.
    QStringView next();

    // Where the text after the last element taken begins.
    qsizetype position() const { return m_from; }
    // The text after the last element taken.
    QStringView rest() const { return m_text.sliced(m_from); }

    // How many characters the searches have gone over so far, counted once per search.
    qsizetype searched() const { return m_searched; }

private:
    static constexpr qsizetype kUnknown = -2;
    static constexpr qsizetype kNone = -1;

    // The next occurrence of `pattern` at or after the position, cached in `found`.
    qsizetype find(const QString& pattern, qsizetype& found);

    QStringView m_text;
    QString m_withAttributes; // "<tag "
    QString m_bare;           // "<tag>"
    QString m_end;            // "</tag>"
    qsizetype m_from = 0;
    qsizetype m_nextWithAttributes = kUnknown;
    qsizetype m_nextBare = kUnknown;
    qsizetype m_searched = 0;
};

} // namespace basXML
