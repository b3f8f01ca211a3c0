#include "automation/MenuItem.h"

#include "automation/AutomationHost.h"
#include "automation/KnowledgeBaseWindow.h"

namespace kelvane {

void MenuItem::setName(const QString& name)
{
    m_name = name;
    // The item may stand in either menu: both are built again.
    if (AutomationHost* host = automationHost(); host && host->window()) {
        host->window()->PopulateToolsMenu();
        host->window()->PopulateReportsMenu();
    }
}

} // namespace kelvane
