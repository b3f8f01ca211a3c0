#pragma once

#include "platform/Variant.h"

#include <QString>
#include <memory>

namespace kelvane {

// A named value attached to a node or a network; the value may be an object reference.
class Property {
public:
    Variant Value;
    QString Name;

    // A copy whose Value is assigned as a value: an object held in it is shared.
    std::shared_ptr<Property> Clone() const;
};

} // namespace kelvane
