#pragma once

#include "answercontrols/SliderAxis.h"
#include "answercontrols/SliderLayout.h"

#include <QWidget>

namespace platform {
class Canvas;
}

namespace kelvane {

class SliderThumb;

// A slider for a value from 0 to 1: a sunken groove with ticks at the eighths and a raised
// thumb. The thumb can be dragged freely; the step keys and a click beside the groove move
// the value one eighth; a value set through `Value` glides the thumb to its place. Every
// change raises ValueChange. The vertical `Slider` and the horizontal `HSlider` are this
// control along their axis.
class SliderControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double Value READ Value WRITE setValue)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

public:
    ~SliderControl() override;

    double Value() const { return m_value; }
    // Clamps the value to 0..1 (not a number counts as 0), stores it and raises
    // ValueChange; when it changed, glides the thumb there in hundredths.
    void setValue(double value);

    // Whether the thumb, and with it the control, takes input. The control itself stays
    // enabled as a widget, as a control on a form does.
    bool Enabled() const;
    void setEnabled(bool on);

    const SliderAxis& axis() const { return m_axis; }
    const SliderLayout& layout() const { return m_layout; }
    SliderThumb& picSlider() const { return *m_thumb; }

    // Paints the control's own surface (background, groove and ticks) on a canvas of its size.
    void drawOn(platform::Canvas& canvas) const;

Q_SIGNALS:
    void ValueChange();

protected:
    SliderControl(const SliderAxis& axis, const char* moduleName, QWidget* parent);

    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Sets the value as it is and raises ValueChange (the drag's way: no clamp, no glide).
    void storeValue(double value);
    // The message loop runs while the thumb moves, and may delete the control: these give
    // false when it did, and the caller then stops.
    bool placeThumb(double value);
    bool glideThumb(double from, double to);
    void setThumbAlong(double along);
    double thumbAlong() const;

    void stepByKey(int key);
    void stepTowards(QPointF click);
    void thumbPressed(Qt::MouseButton button, QPointF at);
    void thumbReleased(Qt::MouseButton button);
    void thumbMoved(QPointF at);

    const SliderAxis m_axis;
    const char* m_moduleName;
    SliderLayout m_layout;
    SliderThumb* m_thumb; // a child widget, owned by this one
    double m_value = 0;
    bool m_dragging = false;
    qint32 m_grabPoint = 0; // where the thumb was taken, along the groove
};

} // namespace kelvane
