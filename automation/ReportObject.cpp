#include "automation/ReportObject.h"

#include "automation/CollectionObject.h"
#include "automation/KnowledgeBase.h"
#include "automation/ReportItemObject.h"

namespace kelvane::automation {

using platform::automation::DispatchObject;

DispatchObject ReportObject::KnowledgeBase() const
{
    return kelvane::KnowledgeBase::dispatchOf(m_report->KnowledgeBase.lock());
}

DispatchObject ReportObject::ReportItems() const { return CollectionObject::of<ReportItemObject>(m_report->ReportItems()); }

DispatchObject ReportItemObject::ReportItems() const { return CollectionObject::of<ReportItemObject>(m_item->ReportItems()); }

} // namespace kelvane::automation
