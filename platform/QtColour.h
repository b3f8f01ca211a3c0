#pragma once

#include "platform/Colours.h"

#include <QColor>

namespace platform {

// The Qt colour of a stored colour value (a system colour resolved from the fixed table).
inline QColor toQColor(qint32 value)
{
    const qint32 plain = colours::resolve(value);
    return QColor(colours::red(plain), colours::green(plain), colours::blue(plain));
}

} // namespace platform
