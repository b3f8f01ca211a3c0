#include "automation/ApplicationService.h"

#include "automation/APCIntegration.h"
#include "automation/AutomationHost.h"
#include "automation/CApplication.h"
#include "automation/DBusNames.h"

namespace kelvane {

QDBusObjectPath ApplicationService::Application() const { return QDBusObjectPath(dbusnames::kApplicationPath); }

QString ApplicationService::Name() const { return m_host.application()->Name(); }

QDBusObjectPath ApplicationService::VBE() const { return QDBusObjectPath(dbusnames::kEditorPath); }

bool EditorService::Visible() const { return m_host.macroHost().editorVisible(); }

void EditorService::setVisible(bool visible)
{
    if (visible)
        m_host.macroHost().ShowIDE();
    else
        m_host.macroHost().hideIDE();
}

} // namespace kelvane
