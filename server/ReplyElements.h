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

} // namespace replyelements
} // namespace kelvane::server
