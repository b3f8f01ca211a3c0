#include "answercontrols/SliderThumb.h"

#include "answercontrols/SliderLayout.h"
#include "answercontrols/Twips.h"
#include "platform/Colours.h"
#include "platform/ImageCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace kelvane {

namespace {
QPointF twipsAt(const QMouseEvent& event)
{
    const QPoint pixel = event.position().toPoint();
    return {twips::fromPixels(pixel.x()), twips::fromPixels(pixel.y())};
}
} // namespace

SliderThumb::SliderThumb(const SliderAxis& axis, QWidget* parent)
    : QWidget(parent)
    , m_axis(axis)
    , m_faceColour(platform::colours::ButtonFace)
{
    setFocusPolicy(Qt::StrongFocus);
}

void SliderThumb::setFaceColour(qint32 colour)
{
    m_faceColour = colour;
    update();
}

void SliderThumb::drawOn(platform::Canvas& canvas) const
{
    canvas.setBackColor(m_faceColour);
    canvas.Cls();
    const auto edges = SliderLayout::thumbEdges(m_axis, QSizeF(twips::Width(*this), twips::Height(*this)));
    for (const LineSegment& edge : {edges.linSliderLeft, edges.linSliderTop, edges.linSliderRight,
                                    edges.linSliderBottom, edges.linSliderVeryRight, edges.linSliderveryBottom})
        drawLine(canvas, edge);
}

void SliderThumb::paintEvent(QPaintEvent*)
{
    platform::ImageCanvas picture(size());
    drawOn(picture.canvas());
    QPainter(this).drawImage(0, 0, picture.image());
}

void SliderThumb::mousePressEvent(QMouseEvent* event) { Q_EMIT mousePressed(event->button(), twipsAt(*event)); }

void SliderThumb::mouseReleaseEvent(QMouseEvent* event) { Q_EMIT mouseReleased(event->button(), twipsAt(*event)); }

void SliderThumb::mouseMoveEvent(QMouseEvent* event) { Q_EMIT mouseMoved(twipsAt(*event)); }

void SliderThumb::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != m_axis.lowerKey && event->key() != m_axis.raiseKey) {
        event->ignore();
        return;
    }
    // The step comes once, when the key goes up, not with every repeat while it is held.
    if (!event->isAutoRepeat())
        Q_EMIT keyReleased(event->key());
}

} // namespace kelvane
