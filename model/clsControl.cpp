#include "model/clsControl.h"

namespace kelvane {

std::shared_ptr<clsControl> clsControl::Clone() const
{
    return std::make_shared<clsControl>(*this);
}

} // namespace kelvane
