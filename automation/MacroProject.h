#pragma once

#include "automation/MacroClock.h"
#include "platform/Variant.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>
#include <QSet>
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

// What macro code may take before it is stopped: the time of one run, and the memory its engine
// holds.
struct MacroLimits {
    static constexpr qint64 kDefaultMemoryBytes = qint64(512) * 1024 * 1024;

    std::chrono::milliseconds time {5000};
    qint64 memoryBytes = kDefaultMemoryBytes;
};

// The macro project of a knowledge base: named modules of JavaScript run in an engine of its
// own, with the host's objects (the knowledge base, the application) as globals. Handlers are
// found by name: "KnowledgeBase_Load" handles the Load event of the item "KnowledgeBase".
//
// A handler that fails (a script error) is reported in the project's output and in the
// program's log; the event's arguments then stay as they were, and the program goes on. A
// handler the watchdog stopped (it ran too long or took too much memory) is detached: it is not
// run again by this project, and handlerStopped tells why once.
class MacroProject : public QObject, public std::enable_shared_from_this<MacroProject> {
    Q_OBJECT

public:
    MacroProject(QString name, platform::automation::DispatchObject application, std::chrono::milliseconds timeLimit);
    MacroProject(QString name, platform::automation::DispatchObject application, MacroLimits limits);
    ~MacroProject() override;

    QString Name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    // --- Modules ---------------------------------------------------------------------------------

    const QList<MacroModule>& modules() const { return m_modules; }
    // Replaces every module (as read from storage); the scripts run again from the start the
    // next time one is needed. InvalidProcedureCall (5), changing nothing, when a module has a
    // reserved name.
    void setModules(QList<MacroModule> modules);
    // Adds an empty module or changes the text of one; InvalidProcedureCall (5) for a name that
    // cannot name a module (1 to 31 characters, none of / \ : ! and no line break), is taken or
    // is reserved.
    void addModule(const QString& name, const QString& text = {});
    // Names no module may take (compared without regard to case): the storages the project's
    // file keeps among its modules. Modules set with a reserved name are refused as a whole.
    void setReservedNames(QStringList names) { m_reserved = std::move(names); }
    void setModuleText(const QString& name, const QString& text);

    // The modules were changed (a module added or its text edited) since the project was read
    // or last written with its document.
    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }

    // Read from a document the user may not change.
    bool readOnly = false;
    // The file the project was read from or written to; empty for a project never stored.
    QString storageFile;

    // --- Items -----------------------------------------------------------------------------------

    // The object becomes the global `name` of the macro code. The project holds it weakly: the
    // object lives as long as its owner keeps it.
    void addItem(const QString& name, const platform::automation::DispatchObject& object);
    bool hasItem(const QString& name) const;
    // The item takes another name (its handlers are found by the new one).
    void renameItem(const QString& name, const QString& newName);

    // --- Running ---------------------------------------------------------------------------------

    enum class RunResult { NoHandler, Ran, Failed };
    // Calls the handler with an event object whose properties are the arguments by their names;
    // once it has run, the arguments are taken back from the event object. A project closed while
    // one of its handlers runs lives until the handler has returned.
    RunResult runHandler(const QString& handlerName, const QStringList& parameterNames,
                         QList<kelvane::Variant>& arguments);

    // Counts, while macro code of this project runs, in `counter` too (shared by the projects of
    // one host, so the host knows when any macro code runs).
    void setRunCounter(std::shared_ptr<int> counter) { m_runCounter = std::move(counter); }
    // The clock the time limit is measured on (shared by the projects of one host, which stops
    // it while the user answers a dialog).
    void setClock(std::shared_ptr<MacroClock> clock) { m_clock = std::move(clock); }

    // Every failure reported so far, oldest first.
    const QStringList& output() const { return m_output; }
    void report(const QString& line);

Q_SIGNALS:
    void outputAdded(const QString& line);
    // A handler was stopped and detached; `notice` says which and why, for the user.
    void handlerStopped(const QString& notice);

private:
    friend class ScriptRuntime;
    struct Item {
        QString name;
        platform::automation::WeakDispatchObject object;
    };

    ScriptRuntime& runtime();
    // Raises InvalidProcedureCall when `name` is reserved.
    void refuseReserved(const QString& name) const;
    // Called by the runtime when the watchdog stopped `handlerName` for `reason`.
    void detach(const QString& handlerName, const QString& reason);

    QString m_name;
    platform::automation::DispatchObject m_application;
    MacroLimits m_limits;
    QList<MacroModule> m_modules;
    QStringList m_reserved;
    std::vector<Item> m_items;
    QStringList m_output;
    QSet<QString> m_detached;
    std::shared_ptr<int> m_runCounter;
    std::shared_ptr<MacroClock> m_clock = std::make_shared<MacroClock>();
    std::unique_ptr<ScriptRuntime> m_runtime; // made when a handler first runs
    bool m_stale = false;   // the modules changed since the runtime was made
    bool m_changed = false; // see changed()
    int m_running = 0;      // handlers running now, nested ones included
};

} // namespace kelvane
