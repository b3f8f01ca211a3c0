#include "automation/ClipboardObjects.h"

#include "automation/CollectionObject.h"
#include "automation/NodeObject.h"
#include "automation/PageObject.h"
#include "model/Node.h"
#include "model/Page.h"
#include "network/clsNetwork.h"

namespace kelvane::automation {

namespace {

// What an entry holds, as automation callers reach it.
DispatchObject objectOf(const Variant& held)
{
    if (const auto node = held.object<Node>())
        return viewOf<NodeObject>(node);
    if (const auto network = held.object<clsNetwork>())
        return viewOf<PageObject>(network->Page());
    if (const auto object = held.object<DispatchObject>())
        return *object;
    return {};
}

// And back: nodes and pages as the model objects the diagram records.
Variant heldOf(const DispatchObject& object)
{
    if (object.isNothing())
        return {};
    if (auto node = modelOf<NodeObject>(object))
        return Variant::fromObject(std::move(node));
    if (const auto page = modelOf<PageObject>(object)) {
        if (auto network = std::dynamic_pointer_cast<clsNetwork>(page->Network()))
            return Variant::fromObject(std::move(network));
    }
    return object.toVariant();
}

} // namespace

DispatchObject ClipboardActionObject::Object() const { return objectOf(m_action->Object); }
void ClipboardActionObject::setObject(const DispatchObject& object) { m_action->Object = heldOf(object); }
DispatchObject ClipboardActionObject::OriginalObject() const { return objectOf(m_action->OriginalObject); }
void ClipboardActionObject::setOriginalObject(const DispatchObject& object) { m_action->OriginalObject = heldOf(object); }

DispatchObject ClipboardObject::Actions() const
{
    return CollectionObject::of<ClipboardActionObject>(m_clipboard->Actions);
}

void ClipboardObject::setActions(const DispatchObject& actions)
{
    m_clipboard->Actions = CollectionObject::modelsOf<ClipboardActionObject>(actions);
}

} // namespace kelvane::automation
