#pragma once

#include <QtGlobal>

class QWidget;

namespace kelvane {

// Paints the widget's text in the colour (0x00BBGGRR or a system colour).
void applyTextColour(QWidget& widget, qint32 colour);

} // namespace kelvane
