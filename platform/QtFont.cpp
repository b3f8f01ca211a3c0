#include "platform/QtFont.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr double kSmallestFontSize = 1.0;
constexpr double kLargestFontSize = 2160.0;
} // namespace

QFont toQFont(const FontDescription& wanted)
{
    QFont font;
    if (!wanted.name.isEmpty())
        font.setFamilies({wanted.name});
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    const double size = std::isfinite(wanted.size) ? wanted.size : FontDescription().size;
    font.setPointSizeF(std::clamp(size, kSmallestFontSize, kLargestFontSize));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikethru);
    return font;
}

} // namespace platform
