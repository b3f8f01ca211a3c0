#pragma once

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

namespace basXML {

// The tags of a piece of document text: every "<" with the name after it (up to ">", a blank
// or the next "<"). Elements are looked up in the list instead of searching the text again for
// each of them, with the results GetXMLContent and GetXMLValue give. A view of the list an
// XMLTagIndex makes (or of a part of it): the index and the text must outlive it.
class XMLTags {
public:
    XMLTags() = default; // of no text

    QStringView text() const { return m_text; }

    // GetXMLContent(text, tag) and GetXMLValue(text, tag).
    QStringView content(QStringView tag) const;
    QString value(QStringView tag) const;
    // The same value as a view of the text, or of `storage` when the text form had something
    // to undo.
    QStringView value(QStringView tag, QString& storage) const;

    // Whether the text holds "<name>" (or, with a blank, "<name "); and "<" followed by `prefix`.
    bool contains(QStringView name, QChar next = u'>') const;
    bool containsPrefix(QStringView prefix) const;

    // The pieces of the text from "<name" (the start of any tag whose name begins with `name`)
    // to the first "</name>" after it, each search going on after the piece found before; each
    // with its tags, as an index of the piece alone has them. `name` is a plain element name
    // (no blank, "<" or ">").
    QVarLengthArray<XMLTags, 8> elements(QStringView name) const;

protected:
    struct Tag {
        QStringView name; // after the "<"
        QChar next;       // the character that ends the name; NUL at the end of the text
    };

    explicit XMLTags(QStringView text) : m_text(text) {}
    void setTags(const Tag* first, const Tag* last)
    {
        m_first = first;
        m_last = last;
    }

private:
    XMLTags(QStringView text, const Tag* first, const Tag* last) : m_text(text), m_first(first), m_last(last) {}

    // Where the tag's "<" stands in the text.
    qsizetype at(const Tag& tag) const { return tag.name.data() - 1 - m_text.data(); }

    QStringView m_text;
    const Tag* m_first = nullptr;
    const Tag* m_last = nullptr;
};

// The tags of a piece of document text, found in one pass.
class XMLTagIndex : public XMLTags {
public:
    explicit XMLTagIndex(QStringView text);
    XMLTagIndex(const XMLTagIndex&) = delete;
    XMLTagIndex& operator=(const XMLTagIndex&) = delete;

private:
    QVarLengthArray<Tag, 64> m_list;
};

} // namespace basXML
