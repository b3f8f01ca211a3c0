#include "platform/ImageCanvas.h"

namespace platform {

namespace {
// 96 dots per inch, whatever screen the program runs on: 15 twips to a pixel.
constexpr int kDotsPerMeter = 3780;
} // namespace

ImageCanvas::ImageCanvas(QSize pixels)
    : m_image(pixels, QImage::Format_RGB32)
{
    m_image.setDotsPerMeterX(kDotsPerMeter);
    m_image.setDotsPerMeterY(kDotsPerMeter);
    m_canvas = std::make_unique<PainterCanvas>(m_image);
    m_canvas->Cls();
}

ImageCanvas::~ImageCanvas() = default;

QImage ImageCanvas::image() const { return m_image; }

bool ImageCanvas::savePng(const QString& path) const { return m_image.save(path, "PNG"); }

} // namespace platform
