#include "answercontrols/LineSegment.h"

#include "platform/Canvas.h"

#include <algorithm>

namespace kelvane {

void drawLine(platform::Canvas& canvas, const LineSegment& line)
{
    canvas.setDrawWidth(std::max<qint16>(line.width, 1));
    canvas.Line(line.from.x(), line.from.y(), line.to.x(), line.to.y(), line.colour);
}

} // namespace kelvane
