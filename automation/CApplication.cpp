#include "automation/CApplication.h"

#include "automation/APCIntegration.h"
#include "automation/CollectionObject.h"

namespace kelvane {

using platform::automation::DispatchObject;

DispatchObject CApplication::dispatch()
{
    return automation::dispatchOf(shared_from_this());
}

QString CApplication::Name() const
{
    return m_host ? m_host->HostName() : QString();
}

DispatchObject CApplication::VBE() const
{
    return m_host ? m_host->VBE() : DispatchObject();
}

DispatchObject CApplication::KnowledgeBase() const
{
    return automation::createObject<automation::CollectionObject>();
}

DispatchObject CApplication::Documents() const
{
    return automation::createObject<automation::CollectionObject>();
}

} // namespace kelvane
