#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

// The knowledge-base documents are read and written as text, without a parser object:
// elements and attributes are found by plain, case-sensitive substring searches, and texts
// are escaped in one of two forms.
//
// Attribute form: & < > ' and the double quote become &amp; &lt; &gt; &apos; &quote;
// (the double quote with the e, both ways).
// Text form: control characters other than TAB, LF and CR (and the codes 20 to 31, which
// documents have always kept) are dropped; & < > become entities; line ends are written
// as LF and read back as CR. The text form knows no quote entities.
namespace basXML {

// The tags of an element name, made without allocating for names of the usual length.
class XMLTag {
public:
    explicit XMLTag(QStringView name);
    QStringView start() const;          // "<name"
    QStringView bare() const;           // "<name>"
    QStringView withAttributes() const; // "<name "
    QStringView end() const;            // "</name>"

private:
    QVarLengthArray<QChar, 96> m_text;
    qsizetype m_nameLength;
};


// The content of the first element `tag` ("<tag>" or "<tag ...>" up to its matching
// "</tag>"; nested bare "<tag>" elements stay inside), text form undone. Empty when none.
QString GetXMLValue(QStringView text, QStringView tag);

// The same content as it stands in the text, text form not undone.
QStringView GetXMLContent(QStringView text, QStringView tag);

// The first whole element `tag` (one whose start tag has attributes is looked for first;
// not nesting-aware). `text` keeps only what follows it; when there is none the result is
// empty and `text` is unchanged. XMLElementWalker takes many elements in one pass.
QString ExtractXMLElement(QString& text, const QString& tag);

// The value of attribute `name` (any letter case) in the first start tag "<tag...",
// quotes removed and attribute form undone; the last of several equal names wins.
QString GetXMLAttribute(QStringView text, QStringView tag, QStringView name);

QString EscapeXMLAttribute(const QString& text);
QString UnescapeXMLAttribute(const QString& text);
QString EscapeXMLText(const QString& text);
QString UnescapeXMLText(const QString& text);
// The same as a view of the text itself when it holds no entity and no line break (most
// values), else of `storage`.
QStringView UnescapeXMLText(QStringView text, QString& storage);

// Pieces between the delimiter characters that stand outside quotes (a single or a double
// quote opens and closes, and stays in its piece); empty pieces are kept.
QStringList SplitQuoted(QStringView text, QChar delimiter);

// The attributes of a start tag's attribute text, in order: the text split on blanks
// outside quotes, each piece split into name and value as a key-value line is (the value
// trimmed, one enclosing quote removed at each end), then every "'" dropped from the value
// (attribute form not undone). Empty pieces are left out.
struct Attribute {
    QString name;
    QString value;
};
QList<Attribute> SplitAttributes(QStringView attributeText);

} // namespace basXML
