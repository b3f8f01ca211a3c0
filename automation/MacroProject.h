#pragma once

#include "platform/StorageEntry.h"
#include "platform/Variant.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>
#include <QStringList>
#include <chrono>
#include <memory>
#include <vector>

namespace kelvane {

class ScriptRuntime;

// One module of a macro project: its name and its JavaScript text.
struct MacroModule {
    QString name;
    QString text;
    bool operator==(const MacroModule&) const = default;
};

// The macro project of a knowledge base: named modules of JavaScript run in an engine of its
// own, with the host's objects (the knowledge base, the application) as globals. Handlers are
// found by name: "KnowledgeBase_Load" handles the Load event of the item "KnowledgeBase".
//
// A handler that fails (a script error, or a run cut off by the watchdog after the time limit)
// is reported in the project's output and in the program's log; the event's arguments then
// stay as they were, and the program goes on.
class MacroProject : public QObject, public std::enable_shared_from_this<MacroProject> {
    Q_OBJECT

public:
    MacroProject(QString name, platform::automation::DispatchObject application, std::chrono::milliseconds timeLimit);
    ~MacroProject() override;

    QString Name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    // --- Modules ---------------------------------------------------------------------------------

    const QList<MacroModule>& modules() const { return m_modules; }
    // Replaces every module; the scripts run again from the start the next time one is needed.
    void setModules(QList<MacroModule> modules);
    // Adds an empty module or changes the text of one; InvalidProcedureCall (5) for a name that
    // cannot name a module (1 to 31 characters, none of / \ : !) or is taken.
    void addModule(const QString& name, const QString& text = {});
    void setModuleText(const QString& name, const QString& text);

    // Stored with the document, but not run: what the project's storage held that this host does
    // not know (macros of another kind), kept to be written back unchanged.
    std::vector<platform::StorageEntry> carried;
    // Read from a document the user may not change.
    bool readOnly = false;

    // --- Items -----------------------------------------------------------------------------------

    // The object becomes the global `name` of the macro code. The project holds it weakly: the
    // object lives as long as its owner keeps it.
    void addItem(const QString& name, const platform::automation::DispatchObject& object);
    bool hasItem(const QString& name) const;

    // --- Running ---------------------------------------------------------------------------------

    enum class RunResult { NoHandler, Ran, Failed };
    // Calls the handler with an event object whose properties are the arguments by their names;
    // once it has run, the arguments are taken back from the event object. A project closed while
    // one of its handlers runs lives until the handler has returned.
    RunResult runHandler(const QString& handlerName, const QStringList& parameterNames,
                         QList<kelvane::Variant>& arguments);

    // Every failure reported so far, oldest first.
    const QStringList& output() const { return m_output; }
    void report(const QString& line);

Q_SIGNALS:
    void outputAdded(const QString& line);

private:
    friend class ScriptRuntime;
    struct Item {
        QString name;
        platform::automation::WeakDispatchObject object;
    };

    ScriptRuntime& runtime();

    QString m_name;
    platform::automation::DispatchObject m_application;
    std::chrono::milliseconds m_timeLimit;
    QList<MacroModule> m_modules;
    std::vector<Item> m_items;
    QStringList m_output;
    std::unique_ptr<ScriptRuntime> m_runtime; // made when a handler first runs
    bool m_stale = false; // the modules changed since the runtime was made
    int m_running = 0;    // handlers running now, nested ones included
};

} // namespace kelvane
