#pragma once

#include "platform/Canvas.h"

#include <variant>
#include <vector>

namespace platform::doubles {

// A canvas for tests: paints nothing, records every figure with the drawing state in
// force, and measures text with the fixed metrics of the test doubles.
class RecordingCanvas : public Canvas {
public:
    struct LineCall {
        QPointF from;
        QPointF to;
        qint32 colour = 0;
        CanvasState state;
    };
    struct CircleCall {
        CircleFigure figure;
        CanvasState state;
    };
    struct PrintCall {
        QPointF at; // top left corner of the first line
        QString text;
        CanvasState state;
    };
    struct ClsCall {
        CanvasState state;
    };
    using Primitive = std::variant<LineCall, CircleCall, PrintCall, ClsCall>;

    explicit RecordingCanvas(double scaleWidth = 6000.0, double scaleHeight = 3000.0);

    double ScaleWidth() const override { return m_scaleWidth; }
    double ScaleHeight() const override { return m_scaleHeight; }

    // Everything painted, in order.
    const std::vector<Primitive>& primitives() const { return m_primitives; }
    std::vector<LineCall> lines() const { return allOf<LineCall>(); }
    std::vector<CircleCall> circles() const { return allOf<CircleCall>(); }
    std::vector<PrintCall> prints() const { return allOf<PrintCall>(); }
    // The first print of exactly this text, or null.
    const PrintCall* findPrint(const QString& text) const;
    // Forgets what was recorded (the drawing state stays).
    void forget() { m_primitives.clear(); }
    // How many characters the canvas has measured and printed: the text laid out.
    qsizetype laidOutCharacters() const { return m_laidOutCharacters; }

protected:
    void paintLine(QPointF from, QPointF to, qint32 colour) override;
    void paintCircle(const CircleFigure& figure) override;
    void paintText(QPointF topLeft, const QString& text) override;
    void paintClear() override;
    double lineWidth(const QString& line) const override;
    double lineHeight() const override;

private:
    template <class Call>
    std::vector<Call> allOf() const
    {
        std::vector<Call> found;
        for (const Primitive& p : m_primitives)
            if (const auto* call = std::get_if<Call>(&p))
                found.push_back(*call);
        return found;
    }

    double m_scaleWidth;
    double m_scaleHeight;
    std::vector<Primitive> m_primitives;
    mutable qsizetype m_laidOutCharacters = 0;
};

} // namespace platform::doubles
