#pragma once

#include "platform/UiServices.h"

namespace kelvane {

// The hourglass for the guard's lifetime; the default pointer again on every way out.
class BusyPointer {
public:
    BusyPointer() { platform::ui().setBusyPointer(true); }
    ~BusyPointer() { platform::ui().setBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace kelvane
