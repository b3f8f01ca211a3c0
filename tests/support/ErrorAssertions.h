#pragma once

#include "platform/RuntimeError.h"

#include <functional>

namespace kelvane::test {

// The error the action raises; one numbered 0 when it raises none.
inline RuntimeError errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& e) {
        return e;
    }
    return RuntimeError(0);
}

// The number of the error the action raises; 0 when it raises none.
inline int errorNumberOf(const std::function<void()>& action) { return errorOf(action).Number(); }

} // namespace kelvane::test
