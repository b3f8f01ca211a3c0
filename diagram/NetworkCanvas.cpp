#include "diagram/NetworkCanvas.h"

#include "platform/Colours.h"
#include "platform/PointerCodes.h"
#include "platform/gui/PlainText.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <algorithm>
#include <QPaintEvent>

namespace kelvane {

namespace {

// 96 dots per inch, whatever the screen: 15 twips to a pixel, the scale the layouts assume.
constexpr int kDotsPerMeter = 3780;

} // namespace

NetworkCanvas::NetworkCanvas(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizePicture();
    // A font installed or removed may change the width of any text.
    connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, this, [this] { m_textWidths.clear(); });
}

NetworkCanvas::~NetworkCanvas()
{
    m_canvas.reset();
    if (m_painter.isActive())
        m_painter.end();
}

void NetworkCanvas::resizePicture()
{
    const QSize size = this->size().expandedTo(QSize(0, 0));
    if (m_canvas && m_picture.size() == size)
        return;
    std::optional<platform::CanvasState> state;
    if (m_canvas)
        state = m_canvas->state();
    m_canvas.reset();
    if (m_painter.isActive())
        m_painter.end();

    QImage picture(size, QImage::Format_RGB32);
    picture.setDotsPerMeterX(kDotsPerMeter);
    picture.setDotsPerMeterY(kDotsPerMeter);
    const qint32 back = state ? state->backColor : platform::CanvasState().backColor;
    if (!picture.isNull()) {
        const qint32 plain = platform::colours::resolve(back);
        picture.fill(QColor(platform::colours::red(plain), platform::colours::green(plain), platform::colours::blue(plain)));
        QPainter copier(&picture);
        copier.drawImage(0, 0, m_picture);
    }
    m_picture = picture;

    if (!m_picture.isNull() && m_painter.begin(&m_picture))
        m_canvas = std::make_unique<platform::PainterCanvas>(m_painter);
    else
        m_canvas = std::make_unique<platform::PainterCanvas>(m_picture); // paints nothing
    m_canvas->setTextWidths(&m_textWidths);
    if (state) {
        m_canvas->setForeColor(state->foreColor);
        m_canvas->setBackColor(state->backColor);
        m_canvas->setFillColor(state->fillColor);
        m_canvas->setFillStyle(state->fillStyle);
        m_canvas->setDrawStyle(state->drawStyle);
        m_canvas->setDrawWidth(state->drawWidth);
        m_canvas->setFont(state->font);
    }
}

void NetworkCanvas::measureAhead(const std::function<void(platform::Canvas&)>& measure)
{
    QImage surface(1, 1, QImage::Format_RGB32);
    surface.setDotsPerMeterX(kDotsPerMeter);
    surface.setDotsPerMeterY(kDotsPerMeter);
    platform::PainterCanvas measuring(surface);
    measuring.setTextWidths(&m_textWidths);
    measure(measuring);
}

void NetworkCanvas::setBackColor(qint32 colour)
{
    m_canvas->setBackColor(colour);
    m_canvas->Cls();
    update();
}

void NetworkCanvas::PaintPicture(const QImage& picture, const QRectF& twips)
{
    if (!m_painter.isActive() || picture.isNull())
        return;
    const QRectF pixels(twips.x() / m_canvas->twipsPerPixelX(), twips.y() / m_canvas->twipsPerPixelY(),
                        twips.width() / m_canvas->twipsPerPixelX(), twips.height() / m_canvas->twipsPerPixelY());
    m_painter.drawImage(pixels, picture);
    update();
}

void NetworkCanvas::setToolTipText(const QString& text)
{
    if (text == m_toolTipText)
        return; // the pointer moved over the same thing
    m_toolTipText = text;
    setToolTip(platform::gui::plainToolTip(text));
}

void NetworkCanvas::Refresh()
{
    repaint();
}

QImage NetworkCanvas::Image() const
{
    return m_picture.copy();
}

float NetworkCanvas::toTwipsX(double pixels) const
{
    return float(pixels * m_canvas->twipsPerPixelX());
}

float NetworkCanvas::toTwipsY(double pixels) const
{
    return float(pixels * m_canvas->twipsPerPixelY());
}

CanvasLine& NetworkCanvas::addLine()
{
    return *m_lines.emplace_back(std::make_unique<CanvasLine>(*this));
}

void NetworkCanvas::removeLine(const CanvasLine& line)
{
    const bool shown = line.Visible();
    std::erase_if(m_lines, [&](const auto& each) { return each.get() == &line; });
    if (shown)
        update();
}

void NetworkCanvas::bringToFront(const CanvasLine& line)
{
    const auto found = std::find_if(m_lines.begin(), m_lines.end(), [&](const auto& each) { return each.get() == &line; });
    if (found == m_lines.end())
        return;
    std::rotate(found, found + 1, m_lines.end());
    if (line.Visible())
        update();
}

void NetworkCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_picture, event->rect());
    painter.setPen(QPen(Qt::black, 0));
    for (const auto& line : m_lines) {
        if (line->Visible())
            painter.drawLine(QPointF(line->X1() / m_canvas->twipsPerPixelX(), line->Y1() / m_canvas->twipsPerPixelY()),
                             QPointF(line->X2() / m_canvas->twipsPerPixelX(), line->Y2() / m_canvas->twipsPerPixelY()));
    }
}

void NetworkCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    resizePicture();
}

void NetworkCanvas::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    Q_EMIT MouseDown(platform::pointer::buttonCode(event->button()), platform::pointer::shiftCode(event->modifiers()), toTwipsX(at.x()), toTwipsY(at.y()));
}

void NetworkCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    Q_EMIT MouseMove(platform::pointer::buttonCode(event->buttons()), platform::pointer::shiftCode(event->modifiers()), toTwipsX(at.x()), toTwipsY(at.y()));
}

void NetworkCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    Q_EMIT MouseUp(platform::pointer::buttonCode(event->button()), platform::pointer::shiftCode(event->modifiers()), toTwipsX(at.x()), toTwipsY(at.y()));
}

// The second press of a double click is the double click itself, not another press.
void NetworkCanvas::mouseDoubleClickEvent(QMouseEvent*)
{
    Q_EMIT DblClick();
}

} // namespace kelvane
