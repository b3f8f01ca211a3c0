#pragma once

#include "platform/UiServices.h"

#include <chrono>

namespace kelvane {

// Yields to the message loop from a long walk once `kInterval` has passed since the last
// yield: the program answers as it would with a yield at every step, without paying for
// thousands of them.
class PacedYield {
public:
    void operator()()
    {
        if (std::chrono::steady_clock::now() - m_last < kInterval)
            return;
        platform::ui().yield();
        m_last = std::chrono::steady_clock::now();
    }

private:
    static constexpr std::chrono::milliseconds kInterval {10};
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

} // namespace kelvane
