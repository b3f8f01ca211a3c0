#include "platform/QtFont.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr double kSmallestFontSize = 1.0;
constexpr double kLargestFontSize = 2160.0;
} // namespace

QFont toQFont(const FontSpec& spec)
{
    QFont font;
    if (!spec.name.isEmpty())
        font.setFamilies({spec.name});
    font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    const double size = std::isfinite(spec.size) ? spec.size : FontSpec().size;
    font.setPointSizeF(std::clamp(size, kSmallestFontSize, kLargestFontSize));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikethru);
    return font;
}

} // namespace platform
