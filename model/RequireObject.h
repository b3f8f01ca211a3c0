#pragma once

#include "platform/RuntimeError.h"

#include <memory>

namespace kelvane {

// The object a reference holds; an empty reference raises ObjectNotSet (91), as using an
// unset object reference does everywhere in the model.
template <class T>
std::shared_ptr<T> requireObject(std::shared_ptr<T> object)
{
    if (!object)
        raiseError(err::ObjectNotSet);
    return object;
}

// The same for a plain pointer to an object owned elsewhere.
template <class T>
T* requireObject(T* object)
{
    if (!object)
        raiseError(err::ObjectNotSet);
    return object;
}

} // namespace kelvane
