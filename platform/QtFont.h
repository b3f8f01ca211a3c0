#pragma once

#include "platform/FontDescription.h"

#include <QFont>
#include <QStringList>

namespace platform {

// The Qt font for a font description, the same for drawing and for measuring on every device.
// Point sizes outside 1 to 2160 are taken at the nearest end of that range.
QFont toQFont(const FontDescription& wanted);

} // namespace platform
