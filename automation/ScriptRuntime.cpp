#include "automation/ScriptRuntime.h"

#include "automation/ClipboardObjects.h"
#include "automation/CollectionObject.h"
#include "automation/ControlObject.h"
#include "automation/MenuItem.h"
#include "automation/PageObject.h"
#include "automation/PropertyObject.h"
#include "automation/URIObject.h"

#include <QScopedValueRollback>

namespace kelvane {

using platform::automation::DispatchObject;

namespace {

// Makes new objects of the creatable classes for the script constructors.
class ScriptFactory : public QObject {
    Q_OBJECT

public:
    explicit ScriptFactory(ScriptBridge& bridge) : m_bridge(bridge) {}

    Q_INVOKABLE QJSValue create(const QString& className)
    {
        using namespace automation;
        const std::pair<const char*, DispatchObject (*)()> makers[] = {
            {CollectionObject::kClassName, &createObject<CollectionObject>},
            {MenuItem::kClassName, &createObject<MenuItem>},
            {PropertyObject::kClassName, &createObject<PropertyObject>},
            {ControlObject::kClassName, &createObject<ControlObject>},
            {PageObject::kClassName, &createObject<PageObject>},
            {URIObject::kClassName, &createObject<URIObject>},
            {ClipboardActionObject::kClassName, &createObject<ClipboardActionObject>},
            {ClipboardObject::kClassName, &createObject<ClipboardObject>},
        };
        for (const auto& [name, make] : makers) {
            if (className == QLatin1String(name))
                return m_bridge.proxyOf(make());
        }
        return {};
    }

    static QStringList classNames()
    {
        return {QStringLiteral("Collection"), QStringLiteral("MenuItem"), QStringLiteral("Property"),
                QStringLiteral("clsControl"), QStringLiteral("Page"), QStringLiteral("URI"),
                QStringLiteral("clsAction"), QStringLiteral("clsClipboard")};
    }

private:
    ScriptBridge& m_bridge;
};

} // namespace

ScriptRuntime::ScriptRuntime(MacroProject& project)
    : m_project(project)
    , m_bridge(m_engine)
    , m_watchdog(m_engine, project.m_limits.time, project.m_limits.memoryBytes, project.m_clock)
{
    installConstructors();
    if (!project.m_application.isNothing())
        m_engine.globalObject().setProperty(QStringLiteral("Application"), m_bridge.proxyOf(project.m_application));
    for (const MacroProject::Item& item : project.m_items)
        setGlobal(item.name, item.object);
    installUnqualifiedMembers();
    evaluateModules();
}

ScriptRuntime::~ScriptRuntime() = default;

void ScriptRuntime::setGlobal(const QString& name, const platform::automation::WeakDispatchObject& object)
{
    m_engine.globalObject().setProperty(name, m_bridge.proxyOf(object));
}

void ScriptRuntime::installConstructors()
{
    const QJSValue factory = m_engine.newQObject(new ScriptFactory(m_bridge));
    const QJSValue makeConstructor =
        m_engine.evaluate(QStringLiteral("(function (factory, name) { return function () { return factory.create(name); }; })"));
    for (const QString& name : ScriptFactory::classNames())
        m_engine.globalObject().setProperty(name, makeConstructor.call({factory, name}));
}

void ScriptRuntime::installUnqualifiedMembers()
{
    // The members live on an object between the global object and its prototype: a global of
    // the scripts' own (a `var`, a function) shadows one of the same name. Each reaches the
    // member through the object's own global at every use, so it follows the object the global
    // names.
    const QJSValue define = m_engine.evaluate(QStringLiteral(R"((function (members, owner, name, isProperty) {
        const global = members.global;
        if (isProperty)
            Object.defineProperty(members.shelf, name, {
                configurable: true,
                get() { return global[owner][name]; },
                set(value) { global[owner][name] = value; }
            });
        else
            Object.defineProperty(members.shelf, name, {
                configurable: true,
                writable: true,
                value: function (...args) { return global[owner][name](...args); }
            });
    }))"));
    QJSValue global = m_engine.globalObject();
    QJSValue shelf = m_engine.newObject();
    shelf.setPrototype(global.prototype());
    global.setPrototype(shelf);
    QJSValue members = m_engine.newObject();
    members.setProperty(QStringLiteral("global"), global);
    members.setProperty(QStringLiteral("shelf"), shelf);

    QList<std::pair<QString, DispatchObject>> owners;
    for (const MacroProject::Item& item : m_project.m_items)
        owners.append({item.name, item.object.lock()});
    owners.append({QStringLiteral("Application"), m_project.m_application});
    for (const auto& [owner, object] : owners) {
        if (object.isNothing())
            continue;
        for (const auto& member : object.table().members().members) {
            if (global.hasProperty(member.name))
                continue;
            const bool isProperty =
                member.kind == platform::automation::MemberKind::Property && member.parameters.isEmpty();
            const QJSValue result = define.call({members, owner, member.name, isProperty});
            if (result.isError())
                m_project.report(QStringLiteral("%1 cannot be reached without its object: %2").arg(member.name, describe(result)));
        }
    }
}

void ScriptRuntime::evaluateModules()
{
    for (const MacroModule& module : m_project.modules()) {
        m_engine.setInterrupted(false);
        QJSValue result;
        {
            const ScriptWatchdog::Run guard(m_watchdog);
            result = m_engine.evaluate(module.text, module.name);
        }
        succeeded(QStringLiteral("Module ") + module.name, result, true, false);
    }
}

bool ScriptRuntime::callGuarded(const QString& what, QJSValue function, const QJSValueList& arguments)
{
    const bool outermost = m_depth == 0;
    const QScopedValueRollback depth(m_depth, m_depth + 1);
    if (!outermost)
        return succeeded(what, function.call(arguments), false, true);
    m_engine.setInterrupted(false);
    m_stopNoted = false;
    QJSValue result;
    {
        const ScriptWatchdog::Run guard(m_watchdog);
        result = function.call(arguments);
    }
    return succeeded(what, result, true, true);
}

bool ScriptRuntime::succeeded(const QString& what, const QJSValue& result, bool outermost, bool handler)
{
    // A run that ended holding too much memory counts as stopped, interrupted or not.
    const bool interrupted =
        m_engine.isInterrupted() || (outermost && m_watchdog.lastStop() != ScriptWatchdog::Stop::None);
    if (outermost)
        m_engine.setInterrupted(false);
    if (interrupted) {
        const QString reason =
            m_watchdog.lastStop() == ScriptWatchdog::Stop::Memory
                ? QStringLiteral("it used more than %1 MB of memory").arg(m_watchdog.memoryLimit() / (1024 * 1024))
                : QStringLiteral("it ran longer than %1 seconds").arg(double(m_watchdog.limit().count()) / 1000.0);
        m_project.report(QStringLiteral("%1 was stopped: %2.").arg(what, reason));
        // The handler that was running when the watchdog struck goes; those it was called from
        // were only cut short with it.
        if (handler && !m_stopNoted)
            m_project.detach(what, reason);
        m_stopNoted = true;
        return false;
    }
    if (result.isError()) {
        m_project.report(QStringLiteral("%1: %2").arg(what, describe(result)));
        return false;
    }
    return true;
}

QString ScriptRuntime::describe(const QJSValue& error) const
{
    QString text = error.toString();
    const QJSValue line = error.property(QStringLiteral("lineNumber"));
    if (line.isNumber())
        text += QStringLiteral(" (line %1)").arg(line.toInt());
    return text;
}

MacroProject::RunResult ScriptRuntime::run(const QString& handlerName, const QStringList& parameterNames,
                                           QList<Variant>& arguments)
{
    const QJSValue handler = m_engine.globalObject().property(handlerName);
    if (!handler.isCallable())
        return MacroProject::RunResult::NoHandler;
    QJSValue event = m_engine.newObject();
    for (int i = 0; i < arguments.size() && i < parameterNames.size(); ++i)
        event.setProperty(parameterNames.at(i), m_bridge.toScript(arguments.at(i)));
    if (!callGuarded(handlerName, handler, {event}))
        return MacroProject::RunResult::Failed;
    QList<Variant> left = arguments;
    try {
        for (int i = 0; i < left.size() && i < parameterNames.size(); ++i)
            left[i] = m_bridge.fromScript(event.property(parameterNames.at(i)));
    } catch (const RuntimeError& error) {
        m_project.report(QStringLiteral("%1: an argument was given a value it cannot hold (%2).")
                             .arg(handlerName, error.Description()));
        return MacroProject::RunResult::Failed;
    }
    arguments = left;
    return MacroProject::RunResult::Ran;
}

} // namespace kelvane

#include "ScriptRuntime.moc"
