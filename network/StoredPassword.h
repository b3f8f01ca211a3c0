#pragma once

#include <QChar>
#include <QString>

// The knowledge-base and editor passwords as both stored forms of a knowledge base keep
// them, and the check a reader makes before it goes on.
namespace kelvane::StoredPassword {

// Every stored password character is combined with this letter's code by exclusive or.
inline constexpr QChar kPasswordScramblingKey = u'K';

// Three decimal digits per character: its Windows-1252 code XOR the key's code, zero-padded.
// Characters that code page lacks count as "?".
QString Scramble(const QString& password);

// The reverse, group by group from the start (a shorter last group is read as it is).
// A group that is not a number, or that gives no character, raises TypeMismatch.
QString Unscramble(const QString& digits);

// The viewer (ApplicationMode 1, and 9) neither reads nor asks for the editor password.
bool EditorPasswordSkipped();

// Asks for the password with the prompt captioned `caption` and compares the typed text
// with it in any letter case. The typed text is kept in basGlobal::EnteredPassword, which
// is cleared first. A refusal (other text, or the prompt closed without OK) shows
// "Access denied" with the critical icon and `title` as its title, and gives false.
// The busy pointer is lifted while the prompt is shown and set again afterwards.
bool Confirm(const QString& password, const QString& caption, const QString& title);

} // namespace kelvane::StoredPassword
