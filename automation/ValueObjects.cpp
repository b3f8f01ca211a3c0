// The Clone members of the small value classes.

#include "automation/ControlObject.h"
#include "automation/FontPropertiesObject.h"
#include "automation/ObjectModel.h"
#include "automation/PropertyObject.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

DispatchObject FontPropertiesObject::Clone() const { return viewOf<FontPropertiesObject>(m_font->Clone()); }

DispatchObject PropertyObject::Clone() const { return viewOf<PropertyObject>(m_property->Clone()); }

DispatchObject ControlObject::Clone() const { return viewOf<ControlObject>(m_control->Clone()); }

} // namespace kelvane::automation
