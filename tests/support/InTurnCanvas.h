#pragma once

#include "platform/PainterCanvas.h"

#include <functional>

namespace kelvane::test {

// A canvas on a picture that draws layers in turn and paints every line as it is drawn, as
// every surface but a plain raster one does: the reference for what layers drawn side by side,
// and lines kept back, must give.
class InTurnCanvas : public platform::PainterCanvas {
public:
    using PainterCanvas::PainterCanvas;
    void drawLayers(const LayerDrawing& first, const std::function<std::vector<LayerDrawing>()>& next,
                    const std::function<void()>& alongside) override
    {
        Canvas::drawLayers(first, next, alongside);
    }
    void drawLeavingOutRepaintedLines(const std::function<void(Canvas&)>& draw) override
    {
        Canvas::drawLeavingOutRepaintedLines(draw);
    }
};

} // namespace kelvane::test
