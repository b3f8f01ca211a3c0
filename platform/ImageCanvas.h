#pragma once

#include "platform/PainterCanvas.h"

#include <QImage>
#include <QSize>
#include <memory>

namespace platform {

// A picture of its own with a canvas on it, at 15 twips to a pixel: for pictures saved to
// files and for tests that look at pixels.
class ImageCanvas {
public:
    // A picture of the size in pixels, cleared to the canvas's BackColor.
    explicit ImageCanvas(QSize pixels);
    ~ImageCanvas();

    PainterCanvas& canvas() { return *m_canvas; }
    // A copy of the picture as it stands.
    QImage image() const;
    // Writes the picture as a PNG file; false when the file could not be written.
    bool savePng(const QString& path) const;

private:
    QImage m_image;
    std::unique_ptr<PainterCanvas> m_canvas; // paints on m_image; declared after it, so it ends first
};

} // namespace platform
