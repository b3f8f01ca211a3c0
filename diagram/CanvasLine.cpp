#include "diagram/CanvasLine.h"

#include "diagram/NetworkCanvas.h"
#include "platform/RuntimeError.h"

namespace kelvane {

void CanvasLine::setX1(float x)
{
    m_x1 = x;
    changed();
}

void CanvasLine::setY1(float y)
{
    m_y1 = y;
    changed();
}

void CanvasLine::setX2(float x)
{
    m_x2 = x;
    changed();
}

void CanvasLine::setY2(float y)
{
    m_y2 = y;
    changed();
}

void CanvasLine::setEnds(QPointF from, QPointF to)
{
    m_x1 = float(from.x());
    m_y1 = float(from.y());
    m_x2 = float(to.x());
    m_y2 = float(to.y());
    changed();
}

void CanvasLine::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    m_canvas.update();
}

void CanvasLine::ZOrder()
{
    m_canvas.bringToFront(*this);
}

void CanvasLine::changed()
{
    if (m_visible)
        m_canvas.update();
}

CanvasLineArray::~CanvasLineArray()
{
    UnloadAll();
}

CanvasLine& CanvasLineArray::Load(qint16 index)
{
    if (index == 0 || m_elements.contains(index))
        raiseError(err::ObjectAlreadyLoaded);
    CanvasLine& line = m_canvas.addLine();
    m_elements.emplace(index, &line);
    return line;
}

void CanvasLineArray::Unload(qint16 index)
{
    CanvasLine& line = Item(index);
    m_elements.erase(index);
    m_canvas.removeLine(line);
}

CanvasLine& CanvasLineArray::Item(qint16 index) const
{
    const auto found = m_elements.find(index);
    if (found == m_elements.end())
        raiseError(err::ControlArrayElementMissing);
    return *found->second;
}

void CanvasLineArray::UnloadAll()
{
    for (const auto& [index, line] : m_elements)
        m_canvas.removeLine(*line);
    m_elements.clear();
}

} // namespace kelvane
