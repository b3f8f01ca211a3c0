#include "platform/PainterCanvas.h"

#include "platform/ParallelRanges.h"
#include "platform/QtColour.h"
#include "platform/QtFont.h"
#include "platform/RuntimeError.h"
#include "platform/TextWidths.h"

#include <QBrush>
#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <future>
#include <iterator>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

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

// One-pixel lines leave out their last pixel and keep their dash pattern; wider ones are
// solid with round ends.
QPen makeStrokePen(const QColor& colour, qint16 drawStyle, qint16 drawWidth)
{
    if (drawStyle == drawstyle::Transparent)
        return QPen(Qt::NoPen);
    QPen pen(colour);
    if (drawWidth > 1) {
        pen.setWidth(drawWidth);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
    if (const QList<qreal> dashes = dashPattern(drawStyle); !dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
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

// A transparent picture (every pixel zero) in memory that comes zeroed: the system gives its pages
// as they are first painted, by the thread painting them, where filling the picture would take
// every page at once.
QImage transparentPicture(int width, int height)
{
    constexpr qsizetype kBytesPerPixel = 4;
    const qsizetype bytesPerLine = qsizetype(width) * kBytesPerPixel;
    if (width <= 0 || height <= 0)
        return QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    void* pixels = std::calloc(std::size_t(bytesPerLine) * std::size_t(height), 1);
    if (!pixels)
        throw std::bad_alloc();
    return QImage(static_cast<uchar*>(pixels), width, height, bytesPerLine, QImage::Format_ARGB32_Premultiplied,
                  [](void* memory) { std::free(memory); }, pixels);
}

// A transparent picture of a surface's size and resolution, with a canvas on it in another
// canvas's state.
class Layer {
public:
    Layer(const QPaintDevice& device, const PainterCanvas& state)
        : m_image(transparentPicture(device.width(), device.height()))
    {
        constexpr double kMetresPerInch = 0.0254;
        m_image.setDotsPerMeterX(qRound(device.logicalDpiX() / kMetresPerInch));
        m_image.setDotsPerMeterY(qRound(device.logicalDpiY() / kMetresPerInch));
        m_canvas = std::make_unique<PainterCanvas>(m_image);
        m_canvas->takeStateOf(state);
        m_canvas->setTextWidths(state.textWidths());
    }

    PainterCanvas& canvas() { return *m_canvas; }

    // Ends the drawing on the picture and gives it.
    const QImage& finish()
    {
        m_canvas.reset();
        return m_image;
    }

private:
    QImage m_image;
    std::unique_ptr<PainterCanvas> m_canvas; // paints on m_image
};

// Runs a drawing step, keeping its error instead of raising it.
void keepingFailure(const std::function<void(Canvas&)>& step, Canvas& canvas, std::exception_ptr& failure)
{
    try {
        step(canvas);
    } catch (...) {
        failure = std::current_exception();
    }
}

// The layers the picture draws of `count` pictures: consecutive groups, as even as they come.
std::vector<Canvas::LayerDrawing> groupOf(const std::vector<Canvas::LayerDrawing>& layers, std::size_t picture,
                                          std::size_t count)
{
    return {layers.begin() + qsizetype(layers.size() * picture / count),
            layers.begin() + qsizetype(layers.size() * (picture + 1) / count)};
}

// Runs the layers one after the other on the canvas.
void drawInTurn(const std::vector<Canvas::LayerDrawing>& layers, Canvas& canvas)
{
    for (const auto& layer : layers)
        layer(canvas);
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

// Layers drawn apart and then laid one over the other give the very pixels of drawing in turn
// on a raster surface painted without antialiasing, transform, clipping or translucency (every
// pixel painted there is opaque), at one device pixel to a pixel.
bool PainterCanvas::drawsLayersAlike() const
{
    const QPaintEngine* engine = m_painter.paintEngine();
    const auto smoothing = QPainter::Antialiasing | QPainter::TextAntialiasing;
    return canPaint() && engine && engine->type() == QPaintEngine::Raster && m_painter.worldTransform().isIdentity()
           && !m_painter.hasClipping() && m_painter.compositionMode() == QPainter::CompositionMode_SourceOver
           && !(m_painter.renderHints() & smoothing) && m_painter.opacity() == 1.0
           && m_painter.brushOrigin() == QPointF() && m_device.devicePixelRatio() == 1.0;
}

// The pictures of the whole surface drawn at once: one a processor, within kLayerMemory (two
// at the least); never more than the layers.
std::size_t PainterCanvas::picturesAtOnce(std::size_t layers) const
{
    const qint64 picture = qint64(m_device.width()) * m_device.height() * 4;
    const std::size_t affordable = picture > 0 ? std::max<std::size_t>(2, std::size_t(kLayerMemory / picture)) : 2;
    return std::min({layers, processorCount(), affordable});
}

// The layers are drawn on pictures of their own, in consecutive groups (one picture each, its
// layers drawn on it in turn), every group but the last on a thread of its own while the caller
// runs `alongside` and then draws the last. The first group's thread begins with `first` while the
// caller runs `next`, and draws the rest of its group once the groups are known.
void PainterCanvas::drawLayers(const LayerDrawing& first, const std::function<std::vector<LayerDrawing>()>& next,
                               const std::function<void()>& alongside)
{
    paintHeldLines();
    if (picturesAtOnce(2) < 2 || !drawsLayersAlike()) {
        Canvas::drawLayers(first, next, alongside);
        return;
    }
    std::vector<std::unique_ptr<Layer>> pictures;
    pictures.push_back(std::make_unique<Layer>(m_device, *this));
    PainterCanvas& firstPicture = pictures.front()->canvas();
    std::exception_ptr firstFailure;
    std::promise<std::vector<LayerDrawing>> afterFirst; // the rest of the first group
    auto drawFirstGroup = [&, rest = afterFirst.get_future()]() mutable {
        keepingFailure(
            [&](Canvas& canvas) {
                first(canvas);
                drawInTurn(rest.get(), canvas);
            },
            firstPicture, firstFailure);
    };
    std::vector<LayerDrawing> layers {first};
    std::vector<std::exception_ptr> failures;
    {
        std::vector<std::jthread> drawing; // ended before what they draw with is let go
        std::vector<std::function<void()>> inTurn; // what no thread could be had for, once `alongside` is done
        try {
            drawing.emplace_back(std::ref(drawFirstGroup));
        } catch (const std::system_error&) {
            inTurn.emplace_back(std::ref(drawFirstGroup));
        }
        std::size_t count = 1;
        try {
            std::vector<LayerDrawing> rest = next();
            layers.insert(layers.end(), std::make_move_iterator(rest.begin()), std::make_move_iterator(rest.end()));
            count = picturesAtOnce(layers.size());
            std::vector<LayerDrawing> firstGroup = groupOf(layers, 0, count);
            firstGroup.erase(firstGroup.begin()); // `first`, drawn already or being drawn
            afterFirst.set_value(std::move(firstGroup));
        } catch (...) {
            afterFirst.set_value({});
            throw; // once the first group's thread has ended
        }
        const auto draw = [&](std::size_t picture) {
            keepingFailure([&](Canvas& canvas) { drawInTurn(groupOf(layers, picture, count), canvas); },
                           pictures[picture]->canvas(), failures[picture]);
        };
        try {
            for (std::size_t i = 1; i < count; ++i)
                pictures.push_back(std::make_unique<Layer>(m_device, *this));
            failures.resize(count);
            for (std::size_t i = 1; i + 1 < count; ++i) {
                try {
                    drawing.emplace_back(draw, i);
                } catch (const std::system_error&) {
                    inTurn.emplace_back([&draw, i] { draw(i); });
                }
            }
        } catch (...) {
            // The first group may be waiting for what `alongside` does: it runs before the error
            // goes on, and the threads end.
            try {
                if (alongside)
                    alongside();
            } catch (...) {
                // the first error is the one raised
            }
            throw;
        }
        if (alongside)
            alongside(); // when it fails, the threads end with what it left, and nothing is shown
        for (const auto& step : inTurn)
            step();
        if (count > 1)
            draw(count - 1);
    } // every picture is drawn
    failures.front() = firstFailure;
    // The first picture whose drawing failed is the last one shown, as when they are drawn in turn.
    const auto failed = std::find_if(failures.begin(), failures.end(), [](const auto& failure) { return bool(failure); });
    const std::size_t shown = failed == failures.end() ? failures.size() - 1 : std::size_t(failed - failures.begin());
    takeStateOf(pictures[shown]->canvas());
    for (std::size_t i = 0; i <= shown; ++i)
        m_painter.drawImage(QPoint(0, 0), pictures[i]->finish());
    if (failures[shown])
        std::rethrow_exception(failures[shown]);
}

QPointF PainterCanvas::toPixels(QPointF twips) const
{
    return {nearestPixel(twips.x() / m_twipsPerPixelX), nearestPixel(twips.y() / m_twipsPerPixelY)};
}

const QPen& PainterCanvas::strokePen(qint32 colour, qint16 drawStyle, qint16 drawWidth)
{
    const QColor resolved = toQColor(colour);
    return m_strokePen({resolved, drawStyle, drawWidth}, [&] { return makeStrokePen(resolved, drawStyle, drawWidth); });
}

const QPen& PainterCanvas::textPen()
{
    const QColor colour = toQColor(ForeColor());
    return m_textPen(colour, [&] { return QPen(colour); });
}

const QBrush& PainterCanvas::fillBrush()
{
    static const QBrush none(Qt::NoBrush);
    if (FillStyle() == fillstyle::Transparent)
        return none;
    const QColor colour = toQColor(FillColor());
    return m_fillBrush({colour, FillStyle()}, [&] { return QBrush(colour, hatchOf(FillStyle())); });
}

// Asking Qt for a font's measures takes a lock all threads share: they are asked once a font.
const PainterCanvas::MadeFont& PainterCanvas::currentFont() const
{
    if (!m_font || m_font->description != Font()) {
        QFont font = toQFont(Font());
        const QFontMetrics metrics(font, &m_device);
        const int widthsFont = m_textWidths ? m_textWidths->fontNumber(Font(), m_device.logicalDpiY()) : 0;
        m_font.emplace(MadeFont {Font(), std::move(font), metrics.height(), metrics.ascent(), widthsFont});
    }
    return *m_font;
}

// Every pixel of a line comes from its ends and pen alone and is painted opaque: painted
// again later, it hides its first painting whatever was painted in between.
void PainterCanvas::drawLeavingOutRepaintedLines(const std::function<void(Canvas&)>& draw)
{
    if (m_holdingLines || !drawsLayersAlike()) {
        draw(*this);
        return;
    }
    m_holdingLines = true;
    try {
        draw(*this);
    } catch (...) {
        m_holdingLines = false;
        paintHeldLines();
        throw;
    }
    m_holdingLines = false;
    paintHeldLines();
}

void PainterCanvas::paintHeldLines()
{
    if (m_heldLines.empty())
        return;
    std::optional<PaintedLine> penOf; // a line whose pen the painter holds
    m_heldLines.paintAndForget([&](const PaintedLine& line) {
        if (!penOf || penOf->colour != line.colour || penOf->drawStyle != line.drawStyle
            || penOf->drawWidth != line.drawWidth) {
            m_painter.setPen(strokePen(line.colour, line.drawStyle, line.drawWidth));
            penOf = line;
        }
        m_painter.drawLine(line.from, line.to);
    });
}

void PainterCanvas::paintLine(QPointF from, QPointF to, qint32 colour)
{
    if (!canPaint())
        return;
    const PaintedLine line {toPixels(from), toPixels(to), colour, DrawStyle(), DrawWidth()};
    if (m_holdingLines) {
        m_heldLines.add(line);
        return;
    }
    m_painter.setPen(strokePen(line.colour, line.drawStyle, line.drawWidth));
    m_painter.drawLine(line.from, line.to);
}

void PainterCanvas::paintCircle(const CircleFigure& figure)
{
    if (!canPaint())
        return;
    paintHeldLines();
    const QPointF centre = toPixels(figure.centre);
    const double rx = nearestPixel(figure.radius / m_twipsPerPixelX);
    const double ry = nearestPixel(figure.radius / m_twipsPerPixelY);
    const QRectF bounds(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
    m_painter.setPen(strokePen(figure.colour, DrawStyle(), DrawWidth()));
    if (figure.closed())
        m_painter.setBrush(fillBrush());
    else
        m_painter.setBrush(Qt::NoBrush);
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
    paintHeldLines();
    const MadeFont& font = currentFont();
    if (m_painter.font() != font.font)
        m_painter.setFont(font.font); // a painter's font set again is made again, and looked up again
    m_painter.setPen(textPen());
    const QPointF start = toPixels(topLeft);
    if (!text.contains(u'\r') && !text.contains(u'\n')) {
        m_painter.drawText(QPointF(start.x(), start.y() + font.ascent), text); // one line, most texts
        return;
    }
    const QStringList lines = linesOf(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const double x = i == 0 ? start.x() : 0.0;
        const double baseline = start.y() + double(i) * font.height + font.ascent;
        m_painter.drawText(QPointF(x, baseline), lines.at(i));
    }
}

void PainterCanvas::paintClear()
{
    if (!canPaint())
        return;
    paintHeldLines();
    m_painter.fillRect(QRect(0, 0, m_device.width(), m_device.height()), toQColor(BackColor()));
}

// Whole pixels, as the old surface measured.
double PainterCanvas::lineWidth(const QString& line) const
{
    const MadeFont& font = currentFont();
    const auto measure = [&] { return QFontMetrics(font.font, &m_device).horizontalAdvance(line); };
    const int pixels = m_textWidths ? m_textWidths->width(line, font.widthsFont, measure) : measure();
    return pixels * m_twipsPerPixelX;
}

double PainterCanvas::lineHeight() const
{
    return currentFont().height * m_twipsPerPixelY;
}

} // namespace platform
