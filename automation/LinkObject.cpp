#include "automation/LinkObject.h"

#include "automation/NodeObject.h"
#include "automation/ObjectModel.h"
#include "model/AbstractHostDisplay.h"
#include "model/Node.h"
#include "network/clsNetwork.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

DispatchObject LinkObject::ConnectionTo() const { return viewOf<NodeObject>(m_link->ConnectionTo); }

// A link always leads to an evidence node: Nothing is refused (InvalidPropertyValue, 380).
// The display of the holder's network is told that the link now runs elsewhere.
void LinkObject::setConnectionTo(const DispatchObject& node)
{
    auto evidence = requireModelOf<NodeObject>(node.toVariant());
    if (!evidence)
        raiseError(err::InvalidPropertyValue);
    m_link->ConnectionTo = std::move(evidence);
    if (const auto holder = m_link->ConnectionFrom.lock()) {
        if (const auto network = std::dynamic_pointer_cast<clsNetwork>(holder->Network.lock())) {
            if (const auto display = network->ParentDisplay.lock())
                display->NetworkEdited();
        }
    }
}

DispatchObject LinkObject::ConnectionFrom() const { return viewOf<NodeObject>(m_link->ConnectionFrom.lock()); }

void LinkObject::setConnectionFrom(const DispatchObject& node)
{
    m_link->ConnectionFrom = requireModelOf<NodeObject>(node.toVariant());
}

} // namespace kelvane::automation
