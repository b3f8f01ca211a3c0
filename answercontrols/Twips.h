#pragma once

class QWidget;

// Positions and sizes of the answer controls and their parts, in twips (15 to a pixel), as
// the controls were laid out. A widget keeps whole pixels, so what is set lands on the
// nearest pixel (halves to even) and reads back as such.
namespace kelvane::twips {

inline constexpr double kPerPixel = 15.0;

// The nearest whole pixel; Overflow (6) when it lies outside 32 bits.
int toPixels(double twips);
inline double fromPixels(int pixels) { return pixels * kPerPixel; }
// Twips rounded to what a widget keeps (a whole number of pixels).
inline double onPixels(double value) { return fromPixels(toPixels(value)); }

double Left(const QWidget& widget);
double Top(const QWidget& widget);
double Width(const QWidget& widget);
double Height(const QWidget& widget);

void setLeft(QWidget& widget, double left);
void setTop(QWidget& widget, double top);
// A size below zero is taken as zero: a part squeezed out of a small control stays empty
// instead of failing the layout.
void setWidth(QWidget& widget, double width);
void setHeight(QWidget& widget, double height);

} // namespace kelvane::twips
