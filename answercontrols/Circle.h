#pragma once

#include "platform/Variant.h"

#include <QWidget>

namespace platform {
class Canvas;
}

namespace kelvane {

// A small square marker with a filled red-rimmed circle, laid over the diagram's canvas. Its
// corners take the program's back colour, so only the circle shows; it keeps itself square
// (width follows height) and passes its mouse presses and releases on to its host, with the
// positions relative to the marker in twips. It saves no properties.
class Circle : public QWidget {
    Q_OBJECT

public:
    explicit Circle(QWidget* parent = nullptr);

    // The fill colour as a 32-bit number. Setting converts the value to a 32-bit whole
    // number (TypeMismatch or Overflow when it is none) and takes effect at the next paint.
    Variant FillColour() const { return Variant(m_fillColour); }
    void setFillColour(const Variant& colour);

    // Paints the marker on a canvas of its size: back colour, then the circle.
    void drawOn(platform::Canvas& canvas) const;

Q_SIGNALS:
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    qint32 m_fillColour = 0;
};

} // namespace kelvane
