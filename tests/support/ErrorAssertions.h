#pragma once

#include "platform/RuntimeError.h"

#include <functional>

namespace kelvane::test {

// The number of the error the action raises; 0 when it raises none.
inline int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace kelvane::test
