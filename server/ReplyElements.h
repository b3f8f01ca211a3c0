#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace kelvane::server {

// One element found in a reply: views into the reply text, which must outlive it.
struct ReplyElement {
    QStringView name;    // as written, prefix included ("m:LogonResponse")
    QStringView markup;  // from the start tag to the end tag, as the reply has it
    QStringView content; // between the tags; empty for an empty-element tag
};

// Reads the elements of a server reply. Element names are matched literally, prefix
// included, and end tags are matched by nesting. Entity references are not checked, so a
// knowledge-base document carried in a reply, with its own "&quote;", passes through as it
// stands. Text that is not well formed where it is read yields no element.
namespace replyelements {

// What a walk over the elements of a text is told, in document order.
class ElementVisitor {
public:
    virtual ~ElementVisitor() = default;
    // A start tag or an empty-element tag, `depth` elements deep (0: directly in the text).
    virtual void opened(QStringView /*name*/, int /*depth*/) {}
    // The element is whole (its end tag read, or an empty-element tag); false ends the walk.
    virtual bool closed(const ReplyElement& element, int depth) = 0;
};

// Reads the elements of `text` in one pass, however deep they nest, telling the visitor of each.
// False when the text is not well formed up to where the walk ended: markup that does not end
// or has no name, an end tag that closes no open element, or an element left open.
bool walk(QStringView text, ElementVisitor& visitor);

// The elements directly inside `content`, in order; none when that level is not well formed.
QList<ReplyElement> children(QStringView content);

// The first element named `name` directly inside `content`.
std::optional<ReplyElement> child(QStringView content, QStringView name);

// The element reached from the top level of `text` by the names of `path`, separated by "/".
std::optional<ReplyElement> select(QStringView text, QStringView path);

// The text of an element: its content with the character and entity references undone once
// (the five predefined entities and numeric references; any other reference stays as it is).
QString text(const ReplyElement& element);

// The same without the white space (blanks, tabs, line breaks) before and after the content.
QString trimmedText(const ReplyElement& element);

// The same for a piece of text.
QString unescapeOnce(QStringView text);

// Counts, while it lives, the characters that the reading routines of its thread look at, so
// that the work of reading a reply can be held to its size. Meters may nest; each counts.
class ScanMeter {
public:
    ScanMeter();
    ~ScanMeter();
    ScanMeter(const ScanMeter&) = delete;
    ScanMeter& operator=(const ScanMeter&) = delete;

    qint64 Scanned() const { return m_scanned; }

    // Adds to every meter of the calling thread.
    static void count(qsizetype characters);

private:
    ScanMeter* m_outer;
    qint64 m_scanned = 0;
};

} // namespace replyelements
} // namespace kelvane::server
