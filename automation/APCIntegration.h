#pragma once

#include "automation/frmMacroEditor.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>

class QWidget;

namespace kelvane {

class MacroProject;

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

    std::chrono::milliseconds timeLimit() const { return m_timeLimit; }
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }

    // A new empty project of that name.
    std::shared_ptr<MacroProject> NewProject(const QString& name) const;
    static bool HasProject(const std::shared_ptr<MacroProject>& project) { return project != nullptr; }
    // Lets the project go; the editor stops showing it.
    void CloseProject(std::shared_ptr<MacroProject>& project);

    // Where the editor finds the project it shows: the open knowledge base's.
    void setProjectSource(std::function<std::shared_ptr<MacroProject>()> source) { m_projectSource = std::move(source); }

    // Shows the editor, made on first use, with the project of the open knowledge base.
    void ShowIDE();
    bool editorVisible() const;
    void hideIDE();
    frmMacroEditor* editor() const { return m_editor; }
    // Keeps the editor on the project of the open knowledge base, which another document may
    // have replaced.
    void Poll();

Q_SIGNALS:
    // The user asked the editor to save the project it shows (with its document).
    void saveRequested(const std::shared_ptr<kelvane::MacroProject>& project);

private:
    std::chrono::milliseconds m_timeLimit;
    platform::automation::DispatchObject m_application;
    QPointer<QWidget> m_window;
    QPointer<frmMacroEditor> m_editor;
    std::function<std::shared_ptr<MacroProject>()> m_projectSource;
};

} // namespace kelvane
