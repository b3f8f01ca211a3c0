#include "automation/LinkObject.h"

#include "automation/NodeObject.h"
#include "automation/ObjectModel.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

DispatchObject LinkObject::ConnectionTo() const { return viewOf<NodeObject>(m_link->ConnectionTo); }

// A link always leads to an evidence node: Nothing is refused (InvalidPropertyValue, 380).
void LinkObject::setConnectionTo(const DispatchObject& node)
{
    auto evidence = requireModelOf<NodeObject>(node.toVariant());
    if (!evidence)
        raiseError(err::InvalidPropertyValue);
    m_link->ConnectionTo = std::move(evidence);
}

DispatchObject LinkObject::ConnectionFrom() const { return viewOf<NodeObject>(m_link->ConnectionFrom.lock()); }

void LinkObject::setConnectionFrom(const DispatchObject& node)
{
    m_link->ConnectionFrom = requireModelOf<NodeObject>(node.toVariant());
}

} // namespace kelvane::automation
