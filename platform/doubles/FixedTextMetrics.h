#pragma once

#include "platform/FontDescription.h"

// The deterministic text metrics of the test doubles, in twips: at 8 points a character
// is 100 wide and a line 240 high; both grow with the size.
namespace platform::doubles::fixedmetrics {

inline double characterWidth(const FontDescription& font) { return 100.0 * font.size / 8.0; }
inline double lineHeight(const FontDescription& font) { return 240.0 * font.size / 8.0; }

} // namespace platform::doubles::fixedmetrics
