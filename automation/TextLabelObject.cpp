#include "automation/TextLabelObject.h"

#include "automation/CollectionObject.h"
#include "automation/FontPropertiesObject.h"
#include "automation/URIObject.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

DispatchObject TextLabelObject::Font() const { return viewOf<FontPropertiesObject>(m_label->Font()); }

void TextLabelObject::setFont(const DispatchObject& font)
{
    m_label->setFont(requireModelOf<FontPropertiesObject>(font.toVariant()));
}

DispatchObject TextLabelObject::URIs() const { return CollectionObject::of<URIObject>(m_label->URIs()); }

DispatchObject TextLabelObject::Clone() const { return viewOf<TextLabelObject>(m_label->Clone()); }

} // namespace kelvane::automation
