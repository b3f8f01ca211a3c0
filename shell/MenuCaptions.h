#pragma once

#include <QString>

// Captions of menu entries made from names the program does not choose: file names, paths and
// the names of knowledge bases. Menus read "&" as the mark of a mnemonic; these names show it.
namespace kelvane::menucaptions {

// The text shown as it is: every "&" doubled.
QString Literal(const QString& text);

// Help's entry for the about box of the knowledge base (or program) called `name`.
QString About(const QString& name);

} // namespace kelvane::menucaptions
