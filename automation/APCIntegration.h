#pragma once

#include "automation/MacroProject.h"
#include "automation/frmMacroEditor.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace kelvane {

// The macro host: it makes the macro projects of the knowledge bases, each running its code in
// an engine of its own with the application object as `Application`, and it keeps the macro
// editor. One instance for the program, started by the main window's load.
class APCIntegration : public QObject {
    Q_OBJECT

public:
    // A handler (or a module's own code) that runs longer than this is stopped.
    static constexpr std::chrono::milliseconds kDefaultTimeLimit {5000};

    explicit APCIntegration(std::chrono::milliseconds timeLimit = kDefaultTimeLimit);
    ~APCIntegration() override;

    // Starts the host for the application object; `window` becomes the parent of the editor.
    void Initialize(const platform::automation::DispatchObject& application, QWidget* window);

    // The application title.
    QString HostName() const;
    platform::automation::DispatchObject Application() const { return m_application; }
    // The editor as automation objects see it.
    platform::automation::DispatchObject VBE();

    // What a run of macro code may take, for the projects made from now on.
    std::chrono::milliseconds timeLimit() const { return m_limits.time; }
    void setTimeLimit(std::chrono::milliseconds limit) { m_limits.time = limit; }
    void setMemoryLimit(qint64 bytes) { m_limits.memoryBytes = bytes; }

    // A new empty project of that name.
    std::shared_ptr<MacroProject> NewProject(const QString& name) const;
    static bool HasProject(const std::shared_ptr<MacroProject>& project) { return project != nullptr; }
    // The project was read from a storage file or written to one.
    static bool HasStorage(const std::shared_ptr<MacroProject>& project);
    // Lets the project go; the editor stops showing it.
    void CloseProject(std::shared_ptr<MacroProject>& project);

    // Macro code of some project is running now (a handler, or a module's own code).
    bool macroCodeRunning() const { return *m_running > 0; }
    // The clock the projects' time limit is measured on: stopped while the user answers a dialog.
    const std::shared_ptr<MacroClock>& clock() const { return m_clock; }

    // --- Project files ----------------------------------------------------------------------------

    // The open dialog (`save` false) or the save dialog, in the last-used folder: the file chosen,
    // with `defaultExtension` added to a name without one; nothing when the user cancelled.
    std::optional<QString> FileOpenSave(bool save, const QString& title, const QString& filter,
                                        const QString& defaultExtension);
    // Reads the modules and the name of a ".vba" file the user chooses into `project` (which then
    // counts as changed); false when none was chosen or it could not be read (the user is told).
    bool OpenProj(MacroProject& project);
    // Writes `project` to a ".vba" file the user chooses (asking before one is replaced); false
    // when none was chosen or it could not be written (the user is told).
    bool SaveProj(const MacroProject& project);
    // Before the program closes: the editor's text is taken into `project`; when the project has
    // changes not saved with its document, asks "Save changes to  <title>?" (Yes, No, Cancel) and
    // returns the answer; No when there was nothing to ask.
    int QueryUnload(const std::shared_ptr<MacroProject>& project);

    // --- The editor -------------------------------------------------------------------------------

    // Where the editor finds the project it shows: the open knowledge base's.
    void setProjectSource(std::function<std::shared_ptr<MacroProject>()> source) { m_projectSource = std::move(source); }

    // Shows the editor, made on first use, with the project of the open knowledge base.
    void ShowIDE();
    bool editorVisible() const;
    void hideIDE();
    frmMacroEditor* editor() const { return m_editor; }
    // Puts the text the editor shows into its project.
    void commitEditor();
    // Keeps the editor on the project of the open knowledge base, which another document may
    // have replaced.
    void Poll();

Q_SIGNALS:
    // The user asked the editor to save the project it shows (with its document).
    void saveRequested(const std::shared_ptr<kelvane::MacroProject>& project);

private:
    // Tells the user, once the event under way has returned, that a handler was stopped.
    void tellStopped(const QString& notice);

    MacroLimits m_limits;
    std::shared_ptr<int> m_running = std::make_shared<int>(0);
    std::shared_ptr<MacroClock> m_clock = std::make_shared<MacroClock>();
    platform::automation::DispatchObject m_application;
    QPointer<QWidget> m_window;
    QPointer<frmMacroEditor> m_editor;
    std::function<std::shared_ptr<MacroProject>()> m_projectSource;
};

} // namespace kelvane
