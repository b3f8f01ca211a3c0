#pragma once

#include <QtGlobal>

namespace kelvane {

// The red, green and blue parts of a colour as a document stores them.
struct clsColour {
    qint16 Red = 0;
    qint16 Green = 0;
    qint16 Blue = 0;
};

} // namespace kelvane
