#include "automation/LinkObject.h"

#include "automation/NodeObject.h"
#include "automation/ObjectModel.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

DispatchObject LinkObject::ConnectionTo() const { return viewOf<NodeObject>(m_link->ConnectionTo); }

void LinkObject::setConnectionTo(const DispatchObject& node)
{
    m_link->ConnectionTo = requireModelOf<NodeObject>(node.toVariant());
}

DispatchObject LinkObject::ConnectionFrom() const { return viewOf<NodeObject>(m_link->ConnectionFrom.lock()); }

void LinkObject::setConnectionFrom(const DispatchObject& node)
{
    m_link->ConnectionFrom = requireModelOf<NodeObject>(node.toVariant());
}

} // namespace kelvane::automation
