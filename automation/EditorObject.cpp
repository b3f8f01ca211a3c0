#include "automation/EditorObject.h"

#include "automation/APCIntegration.h"

namespace kelvane {

bool EditorObject::Visible() const
{
    return m_host && m_host->editorVisible();
}

void EditorObject::setVisible(bool visible)
{
    if (!m_host)
        return;
    if (visible)
        m_host->ShowIDE();
    else
        m_host->hideIDE();
}

} // namespace kelvane
