#pragma once

#include "model/FormWindow.h"

#include <QRect>
#include <QWidget>

namespace kelvane {

// A widget as the common library's form routines see it: sizes and positions in twips,
// 15 to a pixel.
class WidgetFormWindow : public FormWindow {
public:
    static constexpr double kTwipsPerPixel = 15.0;

    explicit WidgetFormWindow(QWidget& widget) : m_widget(widget) {}

    double Width() const override { return m_widget.width() * kTwipsPerPixel; }
    double Height() const override { return m_widget.height() * kTwipsPerPixel; }
    void Move(double left, double top) override
    {
        m_widget.move(qRound(left / kTwipsPerPixel), qRound(top / kTwipsPerPixel));
    }

private:
    QWidget& m_widget;
};

// A rectangle of a form's design, given in twips, in pixels.
inline QRect twipsRect(double left, double top, double width, double height)
{
    const auto px = [](double twips) { return qRound(twips / WidgetFormWindow::kTwipsPerPixel); };
    return {px(left), px(top), px(width), px(height)};
}

} // namespace kelvane
