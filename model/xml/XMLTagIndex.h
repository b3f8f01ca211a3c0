#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

namespace basXML {

// The tags of a piece of document text, found in one pass: every "<" with the name after it
// (up to ">", a blank or the next "<"). Elements are then looked up in the list instead of
// searching the text again for each of them, with the results GetXMLContent and GetXMLValue
// give. The text must outlive the index.
class XMLTagIndex {
public:
    explicit XMLTagIndex(QStringView text);

    // GetXMLContent(text, tag) and GetXMLValue(text, tag).
    QStringView content(QStringView tag) const;
    QString value(QStringView tag) const;

    // Whether the text holds "<name>" (or, with a blank, "<name "); and "<" followed by `prefix`.
    bool contains(QStringView name, QChar next = u'>') const;
    bool containsPrefix(QStringView prefix) const;

private:
    struct Tag {
        qsizetype at;     // of the "<"
        QStringView name; // after it
        QChar next;       // the character that ends the name; NUL at the end of the text
    };

    bool isStart(const Tag& tag, QStringView name, QChar next) const;
    // A name holding a character that ends a name is not listed as it stands.
    static bool listable(QStringView name);
    bool isEnd(const Tag& tag, QStringView name) const;

    QStringView m_text;
    QVarLengthArray<Tag, 48> m_tags;
};

} // namespace basXML
