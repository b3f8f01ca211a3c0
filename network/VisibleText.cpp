#include "network/VisibleText.h"

#include <algorithm>
#include <cmath>

namespace kelvane::visibletext {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr double kCharactersPerPixel = 8; // glyphs narrower than an eighth of a pixel show nothing
constexpr qsizetype kFewestCharacters = 256;

} // namespace

QString cutToCharacters(const QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    return text.left(keptCharacters(text, limit)) + QChar(0x2026);
}

qsizetype keptCharacters(const QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return text.size();
    qsizetype cut = std::max<qsizetype>(limit, 0);
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return cut;
}

qsizetype charactersAcross(double widthInTwips)
{
    if (!(widthInTwips > 0))
        return kFewestCharacters;
    const double characters = std::ceil(widthInTwips / kTwipsPerPixel * kCharactersPerPixel);
    return characters >= 1e9 ? qsizetype(1e9) : std::max(kFewestCharacters, qsizetype(characters));
}

} // namespace kelvane::visibletext
