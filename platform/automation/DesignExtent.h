#pragma once

#include <QSize>

namespace platform::automation {

// A control's design-time extent of `pixels` square in HIMETRIC units (hundredths of a
// millimetre) at the given logical pixels per inch, rounded to the nearest.
inline QSize designExtentHimetric(int pixels, int dotsPerInch)
{
    const int himetric = (pixels * 2540 + dotsPerInch / 2) / dotsPerInch;
    return {himetric, himetric};
}

} // namespace platform::automation
