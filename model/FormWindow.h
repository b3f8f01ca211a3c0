#pragma once

namespace kelvane {

// A form as the common library places it; sizes and positions in twips.
class FormWindow {
public:
    virtual ~FormWindow() = default;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void Move(double left, double top) = 0;
};

} // namespace kelvane
