#pragma once

#include "answercontrols/SliderControl.h"

namespace kelvane {

// The horizontal slider: 0 at the left, 1 at the right; Left lowers the value, Right raises
// it. Setting `Value` raises ValueChange once, when it is stored.
class HSlider : public SliderControl {
    Q_OBJECT

public:
    explicit HSlider(QWidget* parent = nullptr)
        : SliderControl(kHorizontalSlider, "HSlider", parent)
    {
    }
};

} // namespace kelvane
