#include "automation/ObjectModel.h"

#include "automation/KelvaneTypeLibrary.h"
#include "platform/automation/DispatchTable.h"

namespace kelvane::automation {

std::shared_ptr<const platform::automation::DispatchTable> tableOf(const QMetaObject& meta, const QString& className)
{
    const platform::automation::InterfaceDescription* events = eventsOf(className);
    return std::make_shared<const platform::automation::DispatchTable>(
        meta, membersOf(className),
        events ? std::optional<platform::automation::InterfaceDescription>(*events) : std::nullopt);
}

} // namespace kelvane::automation
