#include "automation/frmMacroEditor.h"

#include "automation/MacroProject.h"
#include "model/ErrorTrap.h"
#include "platform/UiServices.h"
#include "platform/gui/PlainText.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace kelvane {

namespace {
constexpr const char* kModule = "frmMacroEditor";
}

frmMacroEditor::frmMacroEditor(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmMacroEditor"));
    resize(760, 520);
    m_lstModules = new QListWidget(this);
    m_txtCode = new QPlainTextEdit(this);
    m_txtCode->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtOutput = new QPlainTextEdit(this);
    m_txtOutput->setReadOnly(true);
    m_cmdNewModule = new QPushButton(QStringLiteral("&New Module..."), this);
    m_cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    m_cmdOpenProject = new QPushButton(QStringLiteral("&Open Project..."), this);
    m_cmdSaveProjectAs = new QPushButton(QStringLiteral("Save Project &As..."), this);

    auto* modules = new QVBoxLayout;
    modules->addWidget(m_lstModules);
    modules->addWidget(m_cmdNewModule);
    modules->addWidget(m_cmdSave);
    modules->addWidget(m_cmdOpenProject);
    modules->addWidget(m_cmdSaveProjectAs);
    auto* code = new QSplitter(Qt::Vertical, this);
    code->addWidget(m_txtCode);
    code->addWidget(m_txtOutput);
    code->setStretchFactor(0, 4);
    code->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(modules, 1);
    layout->addWidget(code, 4);

    connect(m_lstModules, &QListWidget::currentTextChanged, this, [this] { showModule(); });
    connect(m_cmdNewModule, &QPushButton::clicked, this, &frmMacroEditor::cmdNewModule_Click);
    connect(m_cmdSave, &QPushButton::clicked, this, &frmMacroEditor::cmdSave_Click);
    connect(m_cmdOpenProject, &QPushButton::clicked, this, [this] {
        keepText();
        if (const auto project = m_project.lock())
            Q_EMIT openProjectRequested(project);
    });
    connect(m_cmdSaveProjectAs, &QPushButton::clicked, this, [this] {
        keepText();
        if (const auto project = m_project.lock())
            Q_EMIT saveProjectAsRequested(project);
    });
    setProject(nullptr);
}

void frmMacroEditor::setProject(const std::shared_ptr<MacroProject>& project)
{
    keepText();
    disconnect(m_outputConnection);
    m_project = project;
    m_shownModule.clear();
    m_txtOutput->setPlainText(project ? project->output().join(u'\n') : QString());
    if (project)
        m_outputConnection = connect(project.get(), &MacroProject::outputAdded, m_txtOutput, &QPlainTextEdit::appendPlainText);
    QString title = QStringLiteral("Macros");
    if (project)
        title += QStringLiteral(" - ") + project->Name() + (project->readOnly ? QStringLiteral(" (read only)") : QString());
    platform::gui::setPlainWindowTitle(*this, title);
    m_cmdNewModule->setEnabled(project != nullptr);
    m_cmdSave->setEnabled(project != nullptr);
    m_cmdOpenProject->setEnabled(project != nullptr);
    m_cmdSaveProjectAs->setEnabled(project != nullptr);
    showModules();
}

void frmMacroEditor::refresh()
{
    // The text shown belongs to the modules that were replaced.
    m_shownModule.clear();
    setProject(m_project.lock());
}

void frmMacroEditor::showModules(const QString& selected)
{
    const QSignalBlocker quiet(m_lstModules);
    m_lstModules->clear();
    const auto project = m_project.lock();
    if (project) {
        for (const MacroModule& module : project->modules())
            m_lstModules->addItem(module.name);
    }
    const QList<QListWidgetItem*> found = m_lstModules->findItems(selected, Qt::MatchExactly);
    m_lstModules->setCurrentRow(found.isEmpty() ? 0 : m_lstModules->row(found.first()));
    showModule();
}

void frmMacroEditor::showModule()
{
    keepText();
    const auto project = m_project.lock();
    const QListWidgetItem* current = m_lstModules->currentItem();
    m_shownModule = current ? current->text() : QString();
    QString text;
    if (project) {
        for (const MacroModule& module : project->modules()) {
            if (module.name == m_shownModule)
                text = module.text;
        }
    }
    m_txtCode->setPlainText(text);
    m_txtCode->setEnabled(!m_shownModule.isEmpty());
}

void frmMacroEditor::keepText()
{
    const auto project = m_project.lock();
    if (project && !m_shownModule.isEmpty())
        project->setModuleText(m_shownModule, m_txtCode->toPlainText());
}

void frmMacroEditor::cmdNewModule_Click()
{
    trappedVoid(kModule, "cmdNewModule_Click", [&] {
        const auto project = m_project.lock();
        if (!project)
            return;
        const auto name = platform::ui().prompt(platform::PromptKind::Text, QStringLiteral("New Module"),
                                                QStringLiteral("Name of the new module:"));
        if (!name || name->trimmed().isEmpty())
            return;
        keepText();
        try {
            project->addModule(name->trimmed());
        } catch (const RuntimeError& error) {
            platform::ui().messageBox(error.Description(), platform::msgbox::Exclamation,
                                      platform::gui::plainWindowTitle(*this));
            return;
        }
        m_shownModule.clear();
        showModules(name->trimmed());
    });
}

void frmMacroEditor::cmdSave_Click()
{
    keepText();
    if (const auto project = m_project.lock())
        Q_EMIT saveRequested(project);
}

} // namespace kelvane
