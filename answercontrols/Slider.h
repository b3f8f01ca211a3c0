#pragma once

#include "answercontrols/SliderControl.h"

namespace kelvane {

// The vertical slider: 0 at the top, 1 at the bottom; Up lowers the value, Down raises it.
class Slider : public SliderControl {
    Q_OBJECT

public:
    explicit Slider(QWidget* parent = nullptr)
        : SliderControl(kVerticalSlider, "Slider", parent)
    {
    }
};

} // namespace kelvane
