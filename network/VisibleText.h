#pragma once

#include <QString>

// Texts of any length cut to what a surface or a caption can show, before any of them is laid
// out: shaping a text costs as much as the whole text, however little of it is seen.
namespace kelvane::visibletext {

// The text when it has at most `limit` characters; otherwise its first `limit` characters (a
// pair of surrogates is not split) followed by an ellipsis.
QString cutToCharacters(const QString& text, qsizetype limit);

// How many of the text's first characters cutToCharacters keeps (all of a text of at most
// `limit`), the ellipsis not counted.
qsizetype keptCharacters(const QString& text, qsizetype limit);

// Lines of up to this many characters are laid out whole, however wide.
inline constexpr qsizetype kCharactersMeasuredWhole = 256;

// The most characters one line across `widthInTwips` can show: more than fit even at the
// narrowest glyphs, so a line this long is wider than the surface in any font.
qsizetype charactersAcross(double widthInTwips);

} // namespace kelvane::visibletext
