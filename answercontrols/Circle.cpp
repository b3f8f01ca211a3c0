#include "answercontrols/Circle.h"

#include "answercontrols/Twips.h"
#include "model/ErrorTrap.h"
#include "model/basGlobal.h"
#include "platform/Canvas.h"
#include "platform/Conversions.h"
#include "platform/ImageCanvas.h"
#include "platform/PointerCodes.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelvane {

namespace {
constexpr qint32 kRimColour = 0xFF; // pure red

// The event's arguments: button, shift keys and the position in twips.
struct MouseArguments {
    qint16 button;
    qint16 shift;
    float x;
    float y;
};

MouseArguments argumentsOf(const QMouseEvent& event)
{
    const QPoint pixel = event.position().toPoint();
    return {platform::pointer::buttonCode(event.button()), platform::pointer::shiftCode(event.modifiers()),
            float(twips::fromPixels(pixel.x())), float(twips::fromPixels(pixel.y()))};
}
} // namespace

Circle::Circle(QWidget* parent)
    : QWidget(parent)
{
}

void Circle::setFillColour(const Variant& colour) { m_fillColour = conv::toInt32(colour.toDouble()); }

void Circle::drawOn(platform::Canvas& canvas) const
{
    canvas.setBackColor(basGlobal::Settings.BackColour);
    canvas.Cls();
    canvas.setFillStyle(platform::fillstyle::Solid);
    canvas.setFillColor(m_fillColour);
    const double width = canvas.ScaleWidth();
    canvas.Circle(width / 2.0, canvas.ScaleHeight() / 2.0, width / 2.0 - 15.0, kRimColour);
}

void Circle::paintEvent(QPaintEvent*)
{
    platform::ImageCanvas picture(size());
    trappedVoid("Circle", "UserControl_Paint", [&] { drawOn(picture.canvas()); });
    QPainter(this).drawImage(0, 0, picture.image());
}

void Circle::resizeEvent(QResizeEvent*)
{
    // Always square: the width follows the height.
    if (width() != height())
        resize(height(), height());
    update();
}

void Circle::mousePressEvent(QMouseEvent* event)
{
    const MouseArguments args = argumentsOf(*event);
    Q_EMIT MouseDown(args.button, args.shift, args.x, args.y);
}

void Circle::mouseReleaseEvent(QMouseEvent* event)
{
    const MouseArguments args = argumentsOf(*event);
    Q_EMIT MouseUp(args.button, args.shift, args.x, args.y);
}

} // namespace kelvane
