#pragma once

#include <QWidget>
#include <memory>

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace kelvane {

class MacroProject;

// The macro editor: the modules of the open knowledge base's project in a list, the chosen
// module's text, the project's reported failures below, and buttons to add a module, to save
// the project with its document, and to read a project from or write it to a ".vba" file.
class frmMacroEditor : public QWidget {
    Q_OBJECT

public:
    explicit frmMacroEditor(QWidget* parent = nullptr);

    std::shared_ptr<MacroProject> project() const { return m_project.lock(); }
    void setProject(const std::shared_ptr<MacroProject>& project);

    QListWidget* lstModules() const { return m_lstModules; }
    QPlainTextEdit* txtCode() const { return m_txtCode; }
    QPlainTextEdit* txtOutput() const { return m_txtOutput; }
    QPushButton* cmdNewModule() const { return m_cmdNewModule; }
    QPushButton* cmdSave() const { return m_cmdSave; }
    QPushButton* cmdOpenProject() const { return m_cmdOpenProject; }
    QPushButton* cmdSaveProjectAs() const { return m_cmdSaveProjectAs; }

    // Asks for a name and adds an empty module of that name.
    void cmdNewModule_Click();
    // Keeps the text typed and asks for the project to be saved with its document.
    void cmdSave_Click();

    // Puts the text of the module shown into the project.
    void keepText();
    // Shows the project's modules again (after they were replaced).
    void refresh();

Q_SIGNALS:
    void saveRequested(const std::shared_ptr<kelvane::MacroProject>& project);
    void openProjectRequested(const std::shared_ptr<kelvane::MacroProject>& project);
    void saveProjectAsRequested(const std::shared_ptr<kelvane::MacroProject>& project);

private:
    void showModules(const QString& selected = {});
    void showModule();

    std::weak_ptr<MacroProject> m_project;
    QString m_shownModule;
    QListWidget* m_lstModules = nullptr;
    QPlainTextEdit* m_txtCode = nullptr;
    QPlainTextEdit* m_txtOutput = nullptr;
    QPushButton* m_cmdNewModule = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QPushButton* m_cmdOpenProject = nullptr;
    QPushButton* m_cmdSaveProjectAs = nullptr;
    QMetaObject::Connection m_outputConnection;
};

} // namespace kelvane
