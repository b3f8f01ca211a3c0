#pragma once

#include "platform/PainterCanvas.h"

#include <functional>

namespace kelvane::test {

// A canvas on a picture that draws layers in turn, as every surface but a plain raster one
// does: the reference for what layers drawn side by side must give.
class InTurnCanvas : public platform::PainterCanvas {
public:
    using PainterCanvas::PainterCanvas;
    void drawLayered(const std::function<void(Canvas&)>& underneath, const std::function<void(Canvas&)>& over) override
    {
        Canvas::drawLayered(underneath, over);
    }
};

} // namespace kelvane::test
