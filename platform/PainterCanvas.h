#pragma once

#include "platform/Canvas.h"
#include "platform/HeldLines.h"
#include "platform/LastMade.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>

class QBrush;
class QPaintDevice;
class QPainter;
class QPen;

namespace platform {

class TextWidths;

// A canvas that paints with QPainter on any paint device: an image, a widget during its
// paint event, a printer page. Scale units are twips at the device's resolution (15 to a
// pixel at 96 dots per inch); figures land on whole pixels without antialiasing, as on
// the old surface, and text is measured with the real font (a stand-in face when the
// named one is not installed).
class PainterCanvas : public Canvas {
public:
    // Paints on the device with a painter of its own, for the canvas's lifetime. A device
    // that cannot be painted on (an empty image) gives a canvas that paints nothing.
    explicit PainterCanvas(QPaintDevice& device);
    // Paints with a painter the caller keeps active (for instance while printing several
    // pages); the canvas changes its pen, brush, font and render hints.
    explicit PainterCanvas(QPainter& painter);
    ~PainterCanvas() override;

    double ScaleWidth() const override;
    double ScaleHeight() const override;

    // Draws the layers side by side where that gives the same picture (a raster surface drawn
    // without antialiasing, transform or clipping), else in turn: as many at once as there are
    // processors and memory for pictures of the whole surface, the first while `next` runs.
    void drawLayers(const LayerDrawing& first, const std::function<std::vector<LayerDrawing>()>& next,
                    const std::function<void()>& alongside) override;

    // Keeps the lines back where a line painted again covers every pixel of its earlier painting
    // with the same colour (where the layers are drawn side by side).
    void drawLeavingOutRepaintedLines(const std::function<void(Canvas&)>& draw) override;

    // Widths of text this canvas, and the layers it draws side by side, take from those kept and
    // keep there (none: each text is measured when it is asked for). The widths outlive the canvas.
    void setTextWidths(TextWidths* widths)
    {
        m_textWidths = widths;
        m_font.reset(); // numbered again in these widths
    }
    TextWidths* textWidths() const { return m_textWidths; }

    double twipsPerPixelX() const { return m_twipsPerPixelX; }
    double twipsPerPixelY() const { return m_twipsPerPixelY; }

protected:
    void paintLine(QPointF from, QPointF to, qint32 colour) override;
    void paintCircle(const CircleFigure& figure) override;
    void paintText(QPointF topLeft, const QString& text) override;
    void paintClear() override;
    double lineWidth(const QString& line) const override;
    double lineHeight() const override;

private:
    // Paints the lines kept back.
    void paintHeldLines();

    // The device pixel nearest to a point in twips.
    QPointF toPixels(QPointF twips) const;
    // The pens and brush of the drawing properties. Each is made again only when what it is made
    // of changes: nodes drawn one after another mostly share them, and making one allocates.
    const QPen& strokePen(qint32 colour, qint16 drawStyle, qint16 drawWidth);
    const QPen& textPen();
    const QBrush& fillBrush();
    // The Qt font of the drawing properties, with what the device measures of it.
    struct MadeFont {
        FontDescription description;
        QFont font;
        int height = 0; // pixels
        int ascent = 0;
        int widthsFont = 0; // its number in the text widths, when there are any
    };
    const MadeFont& currentFont() const;
    bool canPaint() const;
    bool drawsLayersAlike() const;
    std::size_t picturesAtOnce(std::size_t layers) const;

    // The memory the pictures of layers drawn side by side may take together.
    static constexpr qint64 kLayerMemory = 64 * 1024 * 1024;

    std::unique_ptr<QPainter> m_ownPainter;
    QPainter& m_painter;
    QPaintDevice& m_device;
    double m_twipsPerPixelX;
    double m_twipsPerPixelY;
    mutable std::optional<MadeFont> m_font; // the last font made
    LastMade<std::tuple<QColor, qint16, qint16>, QPen> m_strokePen;
    LastMade<QColor, QPen> m_textPen;
    LastMade<std::pair<QColor, qint16>, QBrush> m_fillBrush;
    TextWidths* m_textWidths = nullptr;
    bool m_holdingLines = false;
    HeldLines m_heldLines;
};

} // namespace platform
