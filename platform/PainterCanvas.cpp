#include "platform/PainterCanvas.h"

#include "platform/QtColour.h"
#include "platform/QtFont.h"
#include "platform/RuntimeError.h"

#include <QBrush>
#include <QColor>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;

double nearestPixel(double value) { return std::floor(value + 0.5); }

// The dash patterns of one-pixel lines, in pixels (on, off, ...).
QList<qreal> dashPattern(qint16 drawStyle)
{
    switch (drawStyle) {
    case drawstyle::Dash: return {18, 6};
    case drawstyle::Dot: return {3, 3};
    case drawstyle::DashDot: return {9, 6, 3, 6};
    case drawstyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

Qt::BrushStyle hatchOf(qint16 fillStyle)
{
    switch (fillStyle) {
    case fillstyle::HorizontalLine: return Qt::HorPattern;
    case fillstyle::VerticalLine: return Qt::VerPattern;
    case fillstyle::UpwardDiagonal: return Qt::BDiagPattern;
    case fillstyle::DownwardDiagonal: return Qt::FDiagPattern;
    case fillstyle::Cross: return Qt::CrossPattern;
    case fillstyle::DiagonalCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
    }
}

QPainter& activePainter(QPainter& painter)
{
    if (!painter.isActive())
        kelvane::raiseError(kelvane::err::ObjectNotSet);
    return painter;
}

double twipsPerPixel(int dotsPerInch) { return kTwipsPerInch / std::max(dotsPerInch, 1); }

// Crisp pixels, as on the old surface.
void turnOffAntialiasing(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
}
} // namespace

PainterCanvas::PainterCanvas(QPaintDevice& device)
    : m_ownPainter(std::make_unique<QPainter>())
    , m_painter(*m_ownPainter)
    , m_device(device)
    , m_twipsPerPixelX(twipsPerPixel(device.logicalDpiX()))
    , m_twipsPerPixelY(twipsPerPixel(device.logicalDpiY()))
{
    if (device.width() > 0 && device.height() > 0 && m_painter.begin(&device))
        turnOffAntialiasing(m_painter);
}

PainterCanvas::PainterCanvas(QPainter& painter)
    : m_painter(activePainter(painter))
    , m_device(*painter.device())
    , m_twipsPerPixelX(twipsPerPixel(m_device.logicalDpiX()))
    , m_twipsPerPixelY(twipsPerPixel(m_device.logicalDpiY()))
{
    turnOffAntialiasing(m_painter);
}

PainterCanvas::~PainterCanvas() = default;

double PainterCanvas::ScaleWidth() const { return m_device.width() * m_twipsPerPixelX; }

double PainterCanvas::ScaleHeight() const { return m_device.height() * m_twipsPerPixelY; }

bool PainterCanvas::canPaint() const { return m_painter.isActive(); }

QPointF PainterCanvas::toPixels(QPointF twips) const
{
    return {nearestPixel(twips.x() / m_twipsPerPixelX), nearestPixel(twips.y() / m_twipsPerPixelY)};
}

// One-pixel lines leave out their last pixel and keep their dash pattern; wider ones are
// solid with round ends.
QPen PainterCanvas::outlinePen(qint32 colour) const
{
    if (DrawStyle() == drawstyle::Transparent)
        return QPen(Qt::NoPen);
    QPen pen(toQColor(colour));
    if (DrawWidth() > 1) {
        pen.setWidth(DrawWidth());
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
    if (const QList<qreal> dashes = dashPattern(DrawStyle()); !dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

QBrush PainterCanvas::fillBrush() const
{
    if (FillStyle() == fillstyle::Transparent)
        return QBrush(Qt::NoBrush);
    return QBrush(toQColor(FillColor()), hatchOf(FillStyle()));
}

const QFont& PainterCanvas::currentFont() const
{
    if (!m_font || m_font->first != Font())
        m_font.emplace(Font(), toQFont(Font()));
    return m_font->second;
}

void PainterCanvas::paintLine(QPointF from, QPointF to, qint32 colour)
{
    if (!canPaint())
        return;
    m_painter.setPen(outlinePen(colour));
    m_painter.drawLine(toPixels(from), toPixels(to));
}

void PainterCanvas::paintCircle(const CircleFigure& figure)
{
    if (!canPaint())
        return;
    const QPointF centre = toPixels(figure.centre);
    const double rx = nearestPixel(figure.radius / m_twipsPerPixelX);
    const double ry = nearestPixel(figure.radius / m_twipsPerPixelY);
    const QRectF bounds(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    m_painter.setPen(outlinePen(figure.colour));
    m_painter.setBrush(figure.closed() ? fillBrush() : QBrush(Qt::NoBrush));
    if (!figure.arc) {
        m_painter.drawEllipse(bounds);
        return;
    }
    double span = figure.endAngle - figure.startAngle;
    if (span <= 0)
        span += kTwoPi; // equal angles give the whole circle
    const auto sixteenthsOfDegree = [](double radians) { return qRound(radians * 180.0 / kPi * 16.0); };
    if (figure.closed()) {
        m_painter.drawPie(bounds, sixteenthsOfDegree(figure.startAngle), sixteenthsOfDegree(span));
        return;
    }
    m_painter.drawArc(bounds, sixteenthsOfDegree(figure.startAngle), sixteenthsOfDegree(span));
    const auto rimPoint = [&](double angle) {
        return QPointF(nearestPixel(centre.x() + rx * std::cos(angle)), nearestPixel(centre.y() - ry * std::sin(angle)));
    };
    if (figure.radiusToStart)
        m_painter.drawLine(centre, rimPoint(figure.startAngle));
    if (figure.radiusToEnd)
        m_painter.drawLine(centre, rimPoint(figure.endAngle));
}

void PainterCanvas::paintText(QPointF topLeft, const QString& text)
{
    if (!canPaint())
        return;
    const QFont& font = currentFont();
    const QFontMetrics metrics(font, &m_device);
    m_painter.setFont(font);
    m_painter.setPen(toQColor(ForeColor()));
    const QPointF start = toPixels(topLeft);
    const QStringList lines = linesOf(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const double x = i == 0 ? start.x() : 0.0;
        const double baseline = start.y() + double(i) * metrics.height() + metrics.ascent();
        m_painter.drawText(QPointF(x, baseline), lines.at(i));
    }
}

void PainterCanvas::paintClear()
{
    if (!canPaint())
        return;
    m_painter.fillRect(QRect(0, 0, m_device.width(), m_device.height()), toQColor(BackColor()));
}

// Whole pixels, as the old surface measured.
double PainterCanvas::lineWidth(const QString& line) const
{
    return QFontMetrics(currentFont(), &m_device).horizontalAdvance(line) * m_twipsPerPixelX;
}

double PainterCanvas::lineHeight() const
{
    return QFontMetrics(currentFont(), &m_device).height() * m_twipsPerPixelY;
}

} // namespace platform
