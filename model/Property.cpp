#include "model/Property.h"

namespace kelvane {

std::shared_ptr<Property> Property::Clone() const
{
    return std::make_shared<Property>(*this);
}

} // namespace kelvane
