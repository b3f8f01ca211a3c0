#include "platform/automation/AutomationError.h"

namespace platform::automation {

AutomationError::AutomationError(int number, QString description, QString source, QString helpFile, quint32 helpContext)
    : RuntimeError(number, std::move(description))
    , m_source(std::move(source))
    , m_helpFile(std::move(helpFile))
    , m_helpContext(helpContext)
{
}

HResult AutomationError::hresultOf(int number)
{
    if (number > 0 && number <= 0xFFFF)
        return hresult::ControlFacility | number;
    return number;
}

int AutomationError::numberOf(HResult result)
{
    if ((result & qint32(0xFFFF0000)) == hresult::ControlFacility)
        return result & 0xFFFF;
    if (result == hresult::OutOfMemory)
        return kelvane::err::OutOfMemory;
    return result;
}

void raiseAutomationError(int number, const QString& description, const QString& source, const QString& helpFile,
                          quint32 helpContext)
{
    throw AutomationError(number, description, source, helpFile, helpContext);
}

} // namespace platform::automation
