#include "answercontrols/Twips.h"

#include "platform/Conversions.h"

#include <QWidget>
#include <algorithm>

namespace kelvane::twips {

int toPixels(double twips) { return conv::toInt32(twips / kPerPixel); }

double Left(const QWidget& widget) { return fromPixels(widget.x()); }
double Top(const QWidget& widget) { return fromPixels(widget.y()); }
double Width(const QWidget& widget) { return fromPixels(widget.width()); }
double Height(const QWidget& widget) { return fromPixels(widget.height()); }

void setLeft(QWidget& widget, double left) { widget.move(toPixels(left), widget.y()); }
void setTop(QWidget& widget, double top) { widget.move(widget.x(), toPixels(top)); }
void setWidth(QWidget& widget, double width) { widget.resize(std::max(toPixels(width), 0), widget.height()); }
void setHeight(QWidget& widget, double height) { widget.resize(widget.width(), std::max(toPixels(height), 0)); }

} // namespace kelvane::twips
