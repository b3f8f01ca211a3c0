#include "platform/doubles/RecordingCanvas.h"

#include "platform/doubles/FixedTextMetrics.h"

namespace platform::doubles {

RecordingCanvas::RecordingCanvas(double scaleWidth, double scaleHeight)
    : m_scaleWidth(scaleWidth)
    , m_scaleHeight(scaleHeight)
{
}

const RecordingCanvas::PrintCall* RecordingCanvas::findPrint(const QString& text) const
{
    for (const Primitive& p : m_primitives)
        if (const auto* call = std::get_if<PrintCall>(&p); call && call->text == text)
            return call;
    return nullptr;
}

void RecordingCanvas::paintLine(QPointF from, QPointF to, qint32 colour)
{
    m_primitives.emplace_back(LineCall {from, to, colour, state()});
}

void RecordingCanvas::paintCircle(const CircleFigure& figure)
{
    m_primitives.emplace_back(CircleCall {figure, state()});
}

void RecordingCanvas::paintText(QPointF topLeft, const QString& text)
{
    m_laidOutCharacters += text.size();
    m_primitives.emplace_back(PrintCall {topLeft, text, state()});
}

void RecordingCanvas::paintClear()
{
    m_primitives.emplace_back(ClsCall {state()});
}

double RecordingCanvas::lineWidth(const QString& line) const
{
    m_laidOutCharacters += line.size();
    return line.size() * fixedmetrics::characterWidth(Font());
}

double RecordingCanvas::lineHeight() const
{
    return fixedmetrics::lineHeight(Font());
}

} // namespace platform::doubles
