#include "automation/APCIntegration.h"

#include "automation/EditorObject.h"
#include "automation/MacroProject.h"
#include "automation/ObjectModel.h"
#include "automation/ProjectStorage.h"
#include "automation/frmMacroEditor.h"
#include "model/basLibrary.h"
#include "platform/FileDialogs.h"
#include "platform/HostPath.h"
#include "platform/RuntimeError.h"
#include "platform/UiServices.h"

#include <QTimer>

namespace kelvane {

namespace {

const QString kProjectFilter = QStringLiteral("VBA Files (*.vba)|*.VBA|All Files (*.*)|*.*");
const QString kProjectExtension = QStringLiteral(".VBA");

void tell(const QString& text)
{
    platform::ui().messageBox(text, platform::msgbox::Exclamation, platform::applicationTitle());
}

} // namespace

APCIntegration::APCIntegration(std::chrono::milliseconds timeLimit) : m_limits {timeLimit} {}

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
    auto project = std::make_shared<MacroProject>(name, m_application, m_limits);
    project->setRunCounter(m_running);
    project->setClock(m_clock);
    connect(project.get(), &MacroProject::handlerStopped, this, &APCIntegration::tellStopped);
    return project;
}

bool APCIntegration::HasStorage(const std::shared_ptr<MacroProject>& project)
{
    return project && !project->storageFile.isEmpty();
}

void APCIntegration::tellStopped(const QString& notice)
{
    QTimer::singleShot(0, this, [notice] { tell(notice); });
}

std::optional<QString> APCIntegration::FileOpenSave(bool save, const QString& title, const QString& filter,
                                                    const QString& defaultExtension)
{
    platform::FileDialogRequest request;
    request.title = title;
    request.initialFolder = basLibrary::DocumentsFolder;
    request.filter = filter;
    request.flags = platform::FileDialogRequest::kHideReadOnly | (save ? 0 : platform::FileDialogRequest::kFileMustExist);
    const auto chosen = save ? platform::fileDialogs().showSave(request) : platform::fileDialogs().showOpen(request);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    QString fileName = *chosen;
    if (!basLibrary::FileNameOfPath(fileName).contains(u'.'))
        fileName += defaultExtension;
    basLibrary::DocumentsFolder = basLibrary::FolderOfPath(fileName);
    return fileName;
}

bool APCIntegration::OpenProj(MacroProject& project)
{
    const auto fileName = FileOpenSave(false, QStringLiteral("Open Project"), kProjectFilter, kProjectExtension);
    if (!fileName)
        return false;
    try {
        const auto stored = projectstorage::readFile(platform::hostPath(*fileName), false);
        if (!stored.found)
            raiseError(err::InvalidFileFormat, QStringLiteral("%1 holds no macro project.").arg(*fileName));
        project.setModules(stored.modules);
        if (!stored.name.isEmpty())
            project.setName(stored.name);
        project.setChanged(true);
        return true;
    } catch (const RuntimeError& error) {
        tell(error.Description());
        return false;
    }
}

bool APCIntegration::SaveProj(const MacroProject& project)
{
    const auto fileName = FileOpenSave(true, QStringLiteral("Save Project As"), kProjectFilter, kProjectExtension);
    if (!fileName)
        return false;
    if (basLibrary::FileExists(platform::hostPath(*fileName))) {
        const int answer = platform::ui().messageBox(
            *fileName + QStringLiteral(" already exists.\rDo you want to replace it?"),
            platform::msgbox::YesNo | platform::msgbox::Exclamation | platform::msgbox::DefaultButton2,
            platform::applicationTitle());
        if (answer != platform::msgbox::Yes)
            return false;
    }
    try {
        projectstorage::replaceFile(platform::hostPath(*fileName), projectstorage::snapshotOf(project));
        return true;
    } catch (const RuntimeError& error) {
        tell(error.Description());
        return false;
    }
}

int APCIntegration::QueryUnload(const std::shared_ptr<MacroProject>& project)
{
    if (!project)
        return platform::msgbox::No;
    if (m_editor && m_editor->project() == project)
        commitEditor();
    if (!project->changed())
        return platform::msgbox::No;
    return platform::ui().messageBox(QStringLiteral("Save changes to  Macros - %1?").arg(project->Name()),
                                     platform::msgbox::YesNoCancel | platform::msgbox::Question,
                                     platform::applicationTitle());
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
        connect(m_editor, &frmMacroEditor::openProjectRequested, this, [this](const std::shared_ptr<MacroProject>& project) {
            if (OpenProj(*project) && m_editor)
                m_editor->refresh();
        });
        connect(m_editor, &frmMacroEditor::saveProjectAsRequested, this,
                [this](const std::shared_ptr<MacroProject>& project) { SaveProj(*project); });
    }
    m_editor->setProject(m_projectSource ? m_projectSource() : nullptr);
    m_editor->show();
    m_editor->raise();
    platform::ui().yield();
}

void APCIntegration::commitEditor()
{
    if (m_editor)
        m_editor->keepText();
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
