#include "automation/PageObject.h"

#include "automation/CollectionObject.h"
#include "automation/LayerObject.h"

namespace kelvane::automation {

platform::automation::DispatchObject PageObject::Layers() const
{
    return CollectionObject::of<LayerObject>(m_page->Layers());
}

} // namespace kelvane::automation
