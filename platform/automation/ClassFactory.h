#pragma once

#include "platform/automation/DispatchObject.h"

namespace platform::automation {

// Makes the objects of one class.
class ClassFactory {
public:
    virtual ~ClassFactory() = default;
    virtual DispatchObject createInstance() = 0;
};

} // namespace platform::automation
