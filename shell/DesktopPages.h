#pragma once

#include <QString>

// Pages the program hands to the desktop's opener: web and mail addresses, and its help.
namespace kelvane::desktoppages {

// True for an address the program opens: an http, https or mailto address.
bool IsWebAddress(const QString& address);

// Opens a web or mail address with the program registered for web links. Any other address
// (a file, a program, another scheme) is refused with a message and nothing is started.
void OpenWebAddress(const QString& address);

// Opens a page of the program's help; when no program could be started for it, says so.
void ShowHelpPage(const QString& page);

// Opens the program's help pages; without them says so in a message box titled `title`.
void ShowHelpContents(const QString& title);

// Opens the help page of a help context number ("<number>.html" beside the contents), or the
// contents when there is no such page; without help pages says so as ShowHelpContents does.
void ShowHelpTopic(int context, const QString& title);

} // namespace kelvane::desktoppages
