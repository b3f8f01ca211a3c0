#pragma once

#include "automation/MacroProject.h"
#include "automation/ScriptBridge.h"
#include "automation/ScriptWatchdog.h"

#include <QJSEngine>

namespace kelvane {

// The engine a macro project runs in: its modules evaluated in order as scripts of the global
// scope, its items and the application object as globals, the members of those objects
// reachable by name alone unless a global of the scripts' own has the name (macro code may
// write `KBName` for `KnowledgeBase.KBName`), and constructors for the classes macro code may create (Collection,
// MenuItem, Property, clsControl, Page, URI, clsAction, clsClipboard).
class ScriptRuntime {
public:
    explicit ScriptRuntime(MacroProject& project);
    ~ScriptRuntime();
    ScriptRuntime(const ScriptRuntime&) = delete;
    ScriptRuntime& operator=(const ScriptRuntime&) = delete;

    void setGlobal(const QString& name, const platform::automation::WeakDispatchObject& object);

    MacroProject::RunResult run(const QString& handlerName, const QStringList& parameterNames,
                                QList<kelvane::Variant>& arguments);

    // The last run was stopped because it took too much memory: the engine may still hold it.
    bool stoppedForMemory() const { return m_watchdog.lastStop() == ScriptWatchdog::Stop::Memory; }

private:
    void installConstructors();
    // Globals for the members of the items and the application object.
    void installUnqualifiedMembers();
    void evaluateModules();
    // Calls the function under the watchdog; false, with the failure reported, when it failed.
    bool callGuarded(const QString& what, QJSValue function, const QJSValueList& arguments);
    // Whether a run ended well; a failure or an interruption is reported, and the handler the
    // watchdog stopped is detached. The outermost run clears the interruption, so the next run
    // starts afresh.
    bool succeeded(const QString& what, const QJSValue& result, bool outermost, bool handler);
    QString describe(const QJSValue& error) const;

    MacroProject& m_project;
    QJSEngine m_engine;
    ScriptBridge m_bridge;
    ScriptWatchdog m_watchdog;
    int m_depth = 0; // handlers running, nested ones included
    bool m_stopNoted = false; // the handler the watchdog stopped in this run is detached already
};

} // namespace kelvane
