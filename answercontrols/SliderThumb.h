#pragma once

#include "answercontrols/SliderAxis.h"

#include <QPointF>
#include <QWidget>

namespace platform {
class Canvas;
}

namespace kelvane {

// The thumb of a slider (the picture box `picSlider`): a raised face with bevel lines that
// takes the focus, the arrow keys and the mouse. It only reports what it receives, in
// thumb-relative twips; its slider decides what that does.
class SliderThumb : public QWidget {
    Q_OBJECT

public:
    SliderThumb(const SliderAxis& axis, QWidget* parent);

    // The face colour (0x00BBGGRR or a system colour).
    qint32 faceColour() const { return m_faceColour; }
    void setFaceColour(qint32 colour);

    // Paints the face and the bevel lines for the thumb's size on a canvas of that size.
    void drawOn(platform::Canvas& canvas) const;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, QPointF at);
    void mouseReleased(Qt::MouseButton button, QPointF at);
    void mouseMoved(QPointF at);
    void keyReleased(int key); // the slider's two step keys only

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    SliderAxis m_axis;
    qint32 m_faceColour;
};

} // namespace kelvane
