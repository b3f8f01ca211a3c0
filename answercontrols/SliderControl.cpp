#include "answercontrols/SliderControl.h"

#include "answercontrols/SliderThumb.h"
#include "answercontrols/Twips.h"
#include "model/ErrorTrap.h"
#include "platform/Colours.h"
#include "platform/Conversions.h"
#include "platform/ImageCanvas.h"
#include "platform/UiServices.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace kelvane {

namespace colours = platform::colours;

namespace {
constexpr double kEighth = 0.125;
constexpr double kGlideStep = 0.01;

// The next eighth from `value` in a direction (-1 down, +1 up, 0 where a click hit the
// value's own point): off an eighth, the value first lands on the nearest eighth that way.
double nextEighth(double value, int direction)
{
    const double steps = value / kEighth;
    const double whole = conv::floorWhole(steps);
    if (steps != whole)
        return (direction < 0 ? whole : whole + 1) * kEighth;
    return (steps + direction) * kEighth;
}

QPointF twipsAt(const QMouseEvent& event)
{
    const QPoint pixel = event.position().toPoint();
    return {twips::fromPixels(pixel.x()), twips::fromPixels(pixel.y())};
}
} // namespace

SliderControl::SliderControl(const SliderAxis& axis, const char* moduleName, QWidget* parent)
    : QWidget(parent)
    , m_axis(axis)
    , m_moduleName(moduleName)
    , m_thumb(new SliderThumb(axis, this))
{
    setFocusProxy(m_thumb);
    connect(m_thumb, &SliderThumb::mousePressed, this, &SliderControl::thumbPressed);
    connect(m_thumb, &SliderThumb::mouseReleased, this,
            [this](Qt::MouseButton button, QPointF) { thumbReleased(button); });
    connect(m_thumb, &SliderThumb::mouseMoved, this, &SliderControl::thumbMoved);
    connect(m_thumb, &SliderThumb::keyReleased, this, &SliderControl::stepByKey);
}

SliderControl::~SliderControl() = default;

void SliderControl::setValue(double value)
{
    if (value > 1)
        value = 1;
    else if (!(value >= 0))
        value = 0;
    const double old = m_value;
    const QPointer<SliderControl> alive(this);
    storeValue(value);
    platform::ui().yield();
    if (!alive || value == old)
        return;
    if (glideThumb(old, value) && m_axis.changeEventAfterGlide)
        Q_EMIT ValueChange();
}

bool SliderControl::Enabled() const { return m_thumb->isEnabledTo(this); }

void SliderControl::setEnabled(bool on) { m_thumb->setEnabled(on); }

void SliderControl::drawOn(platform::Canvas& canvas) const
{
    canvas.setBackColor(colours::ButtonFace);
    canvas.Cls();
    if (!m_layout.isPlaced())
        return;
    const auto& groove = m_layout.groove();
    for (const LineSegment& line : {groove.linGrooveLeft, groove.linGrooveRight, groove.linGrooveTop,
                                    groove.linGrooveBottom, groove.linGroove})
        drawLine(canvas, line);
    for (const LineSegment& tick : m_layout.ticks())
        drawLine(canvas, tick);
}

void SliderControl::resizeEvent(QResizeEvent*)
{
    // Widgets keep whole pixels, so the size is always a whole number of 15 twips.
    trappedVoid(m_moduleName, "UserControl_Resize", [this] {
        m_layout = SliderLayout(m_axis, QSizeF(twips::Width(*this), twips::Height(*this)));
        twips::setWidth(*m_thumb, m_layout.thumbSize().width());
        twips::setHeight(*m_thumb, m_layout.thumbSize().height());
        if (placeThumb(m_value))
            update();
    });
}

void SliderControl::paintEvent(QPaintEvent*)
{
    platform::ImageCanvas picture(size());
    trappedVoid(m_moduleName, "UserControl_Paint", [&] { drawOn(picture.canvas()); });
    QPainter(this).drawImage(0, 0, picture.image());
}

void SliderControl::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != m_axis.lowerKey && event->key() != m_axis.raiseKey) {
        event->ignore();
        return;
    }
    if (Enabled() && !event->isAutoRepeat())
        stepByKey(event->key());
}

void SliderControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (Enabled())
        trappedVoid(m_moduleName, "UserControl_MouseUp", [&] { stepTowards(twipsAt(*event)); });
}

void SliderControl::storeValue(double value)
{
    m_value = value;
    Q_EMIT ValueChange();
}

bool SliderControl::placeThumb(double value)
{
    const QPointF at = m_layout.thumbPlace(value);
    twips::setLeft(*m_thumb, at.x());
    twips::setTop(*m_thumb, at.y());
    m_thumb->repaint();
    const QPointer<SliderControl> alive(this);
    platform::ui().yield();
    return !alive.isNull();
}

bool SliderControl::glideThumb(double from, double to)
{
    const double step = to > from ? kGlideStep : -kGlideStep;
    for (int k = 0;; ++k) {
        const double at = from + k * step;
        if (step > 0 ? at > to : at < to)
            break;
        if (!placeThumb(at))
            return false;
    }
    return placeThumb(to);
}

void SliderControl::setThumbAlong(double along)
{
    if (m_axis.vertical)
        twips::setTop(*m_thumb, along);
    else
        twips::setLeft(*m_thumb, along);
}

double SliderControl::thumbAlong() const
{
    return m_axis.vertical ? twips::Top(*m_thumb) : twips::Left(*m_thumb);
}

void SliderControl::stepByKey(int key)
{
    trappedVoid(m_moduleName, "picSlider_KeyUp",
                [&] { setValue(nextEighth(m_value, key == m_axis.lowerKey ? -1 : 1)); });
}

void SliderControl::stepTowards(QPointF click)
{
    if (!m_layout.isBesideGroove(click))
        return;
    const double start = m_layout.trackStart();
    // Positive when the click lies before the value's point on the track.
    const double d = (m_layout.trackEnd() - start) * m_value - (m_axis.along(click) - start);
    setValue(nextEighth(m_value, d > 0 ? -1 : (d < 0 ? 1 : 0)));
}

void SliderControl::thumbPressed(Qt::MouseButton button, QPointF at)
{
    if (button != Qt::LeftButton)
        return;
    trappedVoid(m_moduleName, "picSlider_MouseDown", [&] {
        m_dragging = true;
        m_grabPoint = conv::toInt32(m_axis.along(at));
        m_thumb->setFaceColour(colours::ButtonHighlight);
    });
}

void SliderControl::thumbReleased(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    m_dragging = false;
    m_thumb->setFaceColour(colours::ButtonFace);
}

void SliderControl::thumbMoved(QPointF at)
{
    if (!m_dragging)
        return;
    trappedVoid(m_moduleName, "picSlider_MouseMove", [&] {
        const double start = m_layout.trackStart();
        const double end = m_layout.trackEnd();
        if (!(end > start))
            return;
        const double top = thumbAlong();
        const double half = m_axis.along(QSizeF(twips::Width(*m_thumb), twips::Height(*m_thumb))) / 2.0;
        const double pointer = m_axis.along(at);
        if (top < start - half + 15.0 && pointer < m_grabPoint) {
            // Held at the start and still pulled outwards.
            setThumbAlong(start - half);
            storeValue(0);
        } else if (top > end - half - 15.0 && pointer > m_grabPoint) {
            setThumbAlong(end - half);
            storeValue(1);
        } else {
            setThumbAlong(conv::toInt32(top + pointer) - m_grabPoint);
            const QPointer<SliderControl> alive(this);
            platform::ui().yield();
            if (!alive)
                return;
            // A fast move can carry the thumb past an end: the value stays within 0 to 1.
            storeValue(std::clamp((half + thumbAlong() - start) / (end - start), 0.0, 1.0));
        }
    });
}

} // namespace kelvane
