#include "automation/MacroProject.h"

#include "automation/ScriptRuntime.h"
#include "platform/RuntimeError.h"
#include "platform/StorageEntry.h"

#include <QScopedValueRollback>
#include <QtGlobal>
#include <algorithm>

namespace kelvane {

namespace {

bool isModuleName(const QString& name)
{
    return platform::StorageEntry::isValidName(name) && !name.contains(u'\r') && !name.contains(u'\n');
}

// Counts one run for as long as it lives.
class Counting {
public:
    explicit Counting(int* counter) : m_counter(counter)
    {
        if (m_counter)
            ++*m_counter;
    }
    ~Counting()
    {
        if (m_counter)
            --*m_counter;
    }
    Counting(const Counting&) = delete;
    Counting& operator=(const Counting&) = delete;

private:
    int* m_counter;
};

} // namespace

MacroProject::MacroProject(QString name, platform::automation::DispatchObject application,
                           std::chrono::milliseconds timeLimit)
    : MacroProject(std::move(name), std::move(application), MacroLimits {timeLimit})
{
}

MacroProject::MacroProject(QString name, platform::automation::DispatchObject application, MacroLimits limits)
    : m_name(std::move(name))
    , m_application(std::move(application))
    , m_limits(limits)
{
}

MacroProject::~MacroProject() = default;

void MacroProject::refuseReserved(const QString& name) const
{
    if (m_reserved.contains(name, Qt::CaseInsensitive))
        raiseError(err::InvalidProcedureCall,
                   QStringLiteral("\"%1\" names a storage kept with the macros of this knowledge base: it cannot "
                                  "name a module.")
                       .arg(name));
}

void MacroProject::setModules(QList<MacroModule> modules)
{
    for (const MacroModule& module : modules)
        refuseReserved(module.name);
    m_modules = std::move(modules);
    m_stale = true;
}

void MacroProject::addModule(const QString& name, const QString& text)
{
    const bool taken = std::any_of(m_modules.begin(), m_modules.end(), [&](const MacroModule& module) {
        return module.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (taken || !isModuleName(name))
        raiseError(err::InvalidProcedureCall, QStringLiteral("\"%1\" cannot name a module.").arg(name));
    refuseReserved(name);
    m_modules.append({name, text});
    m_stale = true;
    m_changed = true;
}

void MacroProject::setModuleText(const QString& name, const QString& text)
{
    for (MacroModule& module : m_modules) {
        if (module.name == name && module.text != text) {
            module.text = text;
            m_stale = true;
            m_changed = true;
        }
    }
}

void MacroProject::addItem(const QString& name, const platform::automation::DispatchObject& object)
{
    const platform::automation::WeakDispatchObject held(object);
    const auto it = std::find_if(m_items.begin(), m_items.end(), [&](const Item& item) { return item.name == name; });
    if (it != m_items.end())
        it->object = held;
    else
        m_items.push_back({name, held});
    if (m_runtime)
        m_runtime->setGlobal(name, held);
}

bool MacroProject::hasItem(const QString& name) const
{
    return std::any_of(m_items.begin(), m_items.end(), [&](const Item& item) { return item.name == name; });
}

void MacroProject::renameItem(const QString& name, const QString& newName)
{
    const auto it = std::find_if(m_items.begin(), m_items.end(), [&](const Item& item) { return item.name == name; });
    if (it == m_items.end() || name == newName)
        return;
    const platform::automation::WeakDispatchObject object = it->object;
    m_items.erase(it);
    addItem(newName, object.lock());
    // The old global goes with a fresh start of the scripts.
    m_stale = true;
}

ScriptRuntime& MacroProject::runtime()
{
    // Changed modules run afresh, but never under a handler that is still running.
    if (m_stale && m_running == 0) {
        m_runtime.reset();
        m_stale = false;
    }
    if (!m_runtime)
        m_runtime = std::make_unique<ScriptRuntime>(*this);
    return *m_runtime;
}

MacroProject::RunResult MacroProject::runHandler(const QString& handlerName, const QStringList& parameterNames,
                                                 QList<Variant>& arguments)
{
    // A project without code has nothing to run: no engine is started for it.
    if (m_modules.isEmpty() || m_detached.contains(handlerName))
        return RunResult::NoHandler;
    const auto keepAlive = shared_from_this();
    RunResult result = RunResult::NoHandler;
    {
        // The modules' own code runs when the engine is made: it counts as macro code too.
        const Counting anywhere(m_runCounter.get());
        // Macro code takes its time even when it runs while the user answers a dialog.
        const MacroClock::Running timed(*m_clock);
        ScriptRuntime& engine = runtime();
        const QScopedValueRollback running(m_running, m_running + 1);
        result = engine.run(handlerName, parameterNames, arguments);
    }
    // An engine that took too much memory may still hold it: it goes, and the scripts start
    // afresh the next time they are needed.
    if (m_runtime && m_runtime->stoppedForMemory()) {
        m_stale = true;
        if (m_running == 0)
            m_runtime.reset();
    }
    return result;
}

void MacroProject::detach(const QString& handlerName, const QString& reason)
{
    if (m_detached.contains(handlerName))
        return;
    m_detached.insert(handlerName);
    Q_EMIT handlerStopped(QStringLiteral("The macro %1 of %2 was stopped: %3. It is not run again until the "
                                         "knowledge base is opened again.")
                              .arg(handlerName, m_name, reason));
}

void MacroProject::report(const QString& line)
{
    qWarning("Macro project %s: %s", qPrintable(m_name), qPrintable(line));
    m_output.append(line);
    Q_EMIT outputAdded(line);
}

} // namespace kelvane
