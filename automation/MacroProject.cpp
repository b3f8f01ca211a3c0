#include "automation/MacroProject.h"

#include "automation/ScriptRuntime.h"
#include "platform/RuntimeError.h"

#include <QScopedValueRollback>
#include <QtGlobal>
#include <algorithm>

namespace kelvane {

MacroProject::MacroProject(QString name, platform::automation::DispatchObject application,
                           std::chrono::milliseconds timeLimit)
    : m_name(std::move(name))
    , m_application(std::move(application))
    , m_timeLimit(timeLimit)
{
}

MacroProject::~MacroProject() = default;

void MacroProject::setModules(QList<MacroModule> modules)
{
    m_modules = std::move(modules);
    m_stale = true;
}

void MacroProject::addModule(const QString& name, const QString& text)
{
    const bool taken = std::any_of(m_modules.begin(), m_modules.end(), [&](const MacroModule& module) {
        return module.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (taken || !platform::StorageEntry::isValidName(name))
        raiseError(err::InvalidProcedureCall, QStringLiteral("\"%1\" cannot name a module.").arg(name));
    m_modules.append({name, text});
    m_stale = true;
}

void MacroProject::setModuleText(const QString& name, const QString& text)
{
    for (MacroModule& module : m_modules) {
        if (module.name == name && module.text != text) {
            module.text = text;
            m_stale = true;
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
    if (m_modules.isEmpty())
        return RunResult::NoHandler;
    const auto keepAlive = shared_from_this();
    ScriptRuntime& engine = runtime();
    const QScopedValueRollback running(m_running, m_running + 1);
    return engine.run(handlerName, parameterNames, arguments);
}

void MacroProject::report(const QString& line)
{
    qWarning("Macro project %s: %s", qPrintable(m_name), qPrintable(line));
    m_output.append(line);
    Q_EMIT outputAdded(line);
}

} // namespace kelvane
