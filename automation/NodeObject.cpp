#include "automation/NodeObject.h"

#include "automation/CollectionObject.h"
#include "automation/ControlObject.h"
#include "automation/LayerObject.h"
#include "automation/LinkObject.h"
#include "automation/PageObject.h"
#include "automation/PropertyObject.h"
#include "automation/TextLabelObject.h"
#include "model/Layer.h"
#include "model/Page.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

namespace {

// A text label written through automation. A node always has its texts: Nothing is refused
// (InvalidPropertyValue, 380), as is any object that is no text label (TypeMismatch, 13).
std::shared_ptr<TextLabel> labelOf(const DispatchObject& label)
{
    auto model = requireModelOf<TextLabelObject>(label.toVariant());
    if (!model)
        raiseError(err::InvalidPropertyValue);
    return model;
}

} // namespace

DispatchObject NodeObject::Question() const { return viewOf<TextLabelObject>(m_node->Question); }
void NodeObject::setQuestion(const DispatchObject& label) { m_node->Question = labelOf(label); }
DispatchObject NodeObject::Reason() const { return viewOf<TextLabelObject>(m_node->Reason); }
void NodeObject::setReason(const DispatchObject& label) { m_node->Reason = labelOf(label); }
DispatchObject NodeObject::Answers() const { return CollectionObject::of<TextLabelObject>(m_node->Answers); }
DispatchObject NodeObject::Links() const { return CollectionObject::of<LinkObject>(m_node->Links()); }
DispatchObject NodeObject::Justification() const { return viewOf<TextLabelObject>(m_node->Justification); }
void NodeObject::setJustification(const DispatchObject& label) { m_node->Justification = labelOf(label); }
DispatchObject NodeObject::Properties() const { return CollectionObject::of<PropertyObject>(m_node->Properties); }
DispatchObject NodeObject::Layer() const { return viewOf<LayerObject>(m_node->Layer.lock()); }
DispatchObject NodeObject::LowerLevelNode() const { return viewOf<NodeObject>(m_node->LowerLevelNode); }
DispatchObject NodeObject::HigherLevelNodes() const { return CollectionObject::of<NodeObject>(m_node->HigherLevelNodes); }
DispatchObject NodeObject::Controls() const { return CollectionObject::of<ControlObject>(m_node->Controls()); }
DispatchObject NodeObject::ControlsBackup() const { return CollectionObject::of<ControlObject>(m_node->ControlsBackup); }
DispatchObject NodeObject::Name() const { return viewOf<TextLabelObject>(m_node->Name()); }
void NodeObject::setName(const DispatchObject& label) { m_node->setName(labelOf(label)); }
DispatchObject NodeObject::Parents() const { return CollectionObject::of<NodeObject>(m_node->Parents()); }
DispatchObject NodeObject::LowerLevelPage() const { return viewOf<PageObject>(m_node->LowerLevelPage()); }

void NodeObject::AddLink(const DispatchObject& Target)
{
    m_node->AddLink(requireModelOf<NodeObject>(Target.toVariant()));
}

DispatchObject NodeObject::Clone(bool bNewGUID)
{
    return viewOf<NodeObject>(m_node->Clone(bNewGUID));
}

} // namespace kelvane::automation
