#include "model/FontProperties.h"

#include "model/basGlobal.h"

namespace kelvane {

FontProperties::FontProperties() : Name(basGlobal::DefaultFontName) {}

std::shared_ptr<FontProperties> FontProperties::Clone() const
{
    return std::make_shared<FontProperties>(*this);
}

} // namespace kelvane
