#pragma once

namespace kelvane {

// A progress bar that a long operation may be handed: a numeric Value from 0 to 100.
class AbstractProgressBar {
public:
    virtual ~AbstractProgressBar() = default;

    virtual int Value() const = 0;
    virtual void setValue(int value) = 0;
};

} // namespace kelvane
