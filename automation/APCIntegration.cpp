#include "automation/APCIntegration.h"

#include "automation/EditorObject.h"
#include "automation/MacroProject.h"
#include "automation/ObjectModel.h"
#include "automation/frmMacroEditor.h"
#include "platform/UiServices.h"

namespace kelvane {

APCIntegration::APCIntegration(std::chrono::milliseconds timeLimit) : m_timeLimit(timeLimit) {}

APCIntegration::~APCIntegration()
{
    delete m_editor;
}

void APCIntegration::Initialize(const platform::automation::DispatchObject& application, QWidget* window)
{
    m_application = application;
    m_window = window;
}

QString APCIntegration::HostName() const
{
    return platform::applicationTitle();
}

platform::automation::DispatchObject APCIntegration::VBE()
{
    return automation::dispatchOf(std::make_shared<EditorObject>(*this));
}

std::shared_ptr<MacroProject> APCIntegration::NewProject(const QString& name) const
{
    return std::make_shared<MacroProject>(name, m_application, m_timeLimit);
}

void APCIntegration::CloseProject(std::shared_ptr<MacroProject>& project)
{
    if (m_editor && project && m_editor->project() == project)
        m_editor->setProject(nullptr);
    project.reset();
}

void APCIntegration::ShowIDE()
{
    if (!m_editor) {
        m_editor = new frmMacroEditor(m_window);
        connect(m_editor, &frmMacroEditor::saveRequested, this, &APCIntegration::saveRequested);
    }
    m_editor->setProject(m_projectSource ? m_projectSource() : nullptr);
    m_editor->show();
    m_editor->raise();
    platform::ui().yield();
}

bool APCIntegration::editorVisible() const
{
    return m_editor && m_editor->isVisible();
}

void APCIntegration::hideIDE()
{
    if (m_editor)
        m_editor->hide();
}

void APCIntegration::Poll()
{
    if (!editorVisible() || !m_projectSource)
        return;
    const auto current = m_projectSource();
    if (current != m_editor->project())
        m_editor->setProject(current);
}

} // namespace kelvane
