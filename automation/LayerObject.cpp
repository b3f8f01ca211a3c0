#include "automation/LayerObject.h"

#include "automation/CollectionObject.h"
#include "automation/KnowledgeBase.h"
#include "automation/NodeObject.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

DispatchObject LayerObject::Nodes() const { return CollectionObject::of<NodeObject>(m_layer->Nodes()); }

DispatchObject LayerObject::KnowledgeBase() const
{
    return kelvane::KnowledgeBase::dispatchOf(m_layer->KnowledgeBase.lock());
}

} // namespace kelvane::automation
