#include "automation/ScriptBridge.h"

#include "platform/RuntimeError.h"
#include "platform/automation/DispatchTable.h"

#include <QJSEngine>
#include <cmath>
#include <limits>
#include <variant>

namespace kelvane {

using platform::automation::DispatchObject;
using platform::automation::InvokeKind;
using platform::automation::MemberKind;
using platform::automation::WeakDispatchObject;

namespace {

// The script side of a proxy: traps that ask the native handle what a name is and reach it.
const char* const kProxyFactory = R"((function (handle) {
    return new Proxy(function () {}, {
        get(target, name) {
            if (name === "__handle")
                return handle;
            if (typeof name === "symbol") {
                if (name === Symbol.iterator && handle.enumerable())
                    return function* () {
                        const count = handle.get("Count");
                        for (let i = 1; i <= count; ++i)
                            yield handle.call("Item", [i]);
                    };
                return undefined;
            }
            switch (handle.kind(name)) {
            case "property":
                return handle.get(name);
            case "function":
                return function (...args) { return handle.call(name, args); };
            }
            if (name === "toString")
                return function () { return "[object " + handle.className() + "]"; };
            return undefined;
        },
        set(target, name, value) {
            handle.put(String(name), value);
            return true;
        },
        has(target, name) {
            return typeof name === "string" && handle.kind(name) !== "";
        },
        apply(target, self, args) {
            return handle.call("", args);
        }
    });
}))";

} // namespace

// The native side of one proxy; owned by the script engine.
class ScriptHandle : public QObject {
    Q_OBJECT

public:
    ScriptHandle(ScriptBridge& bridge, std::variant<DispatchObject, WeakDispatchObject> object)
        : m_bridge(bridge)
        , m_object(std::move(object))
    {
    }

    // "property" for a property without indexes, "function" for a method or an indexed property,
    // "" for a name the object does not know.
    Q_INVOKABLE QString kind(const QString& name) const
    {
        try {
            const auto* member = object().table().members().member(name);
            if (!member)
                return {};
            return member->kind == MemberKind::Property && member->parameters.isEmpty() ? QStringLiteral("property")
                                                                                       : QStringLiteral("function");
        } catch (const RuntimeError&) {
            return {};
        }
    }

    Q_INVOKABLE QString className() const
    {
        try {
            return object().table().members().name.mid(1);
        } catch (const RuntimeError&) {
            return QStringLiteral("Nothing");
        }
    }

    Q_INVOKABLE bool enumerable() const { return kind(QStringLiteral("Count")) == u"property" && !kind(QStringLiteral("Item")).isEmpty(); }

    Q_INVOKABLE QJSValue get(const QString& name)
    {
        return guarded([&] { return m_bridge.toScript(object().get(name)); });
    }

    Q_INVOKABLE void put(const QString& name, const QJSValue& value)
    {
        guarded([&] {
            object().put(name, m_bridge.fromScript(value));
            return QJSValue();
        });
    }

    // `name` empty: the default member, as a property read with indexes or as a call.
    Q_INVOKABLE QJSValue call(const QString& name, const QJSValue& arguments)
    {
        return guarded([&] {
            const DispatchObject target = object();
            QList<Variant> values;
            const int count = arguments.property(QStringLiteral("length")).toInt();
            for (int i = 0; i < count; ++i)
                values.append(m_bridge.fromScript(arguments.property(quint32(i))));
            const auto id = name.isEmpty() ? platform::automation::DefaultMember : target.idOfName(name);
            const auto* member = target.table().members().member(id);
            const InvokeKind kind = member && member->kind == MemberKind::Property ? InvokeKind::PropertyGet
                                                                                  : InvokeKind::Method;
            return m_bridge.toScript(target.invoke(id, kind, values));
        });
    }

    // The object; ObjectNotSet (91) once an object held weakly is gone.
    DispatchObject object() const
    {
        if (const auto* weak = std::get_if<WeakDispatchObject>(&m_object)) {
            DispatchObject alive = weak->lock();
            if (alive.isNothing())
                raiseError(err::ObjectNotSet);
            return alive;
        }
        return std::get<DispatchObject>(m_object);
    }

private:
    template <class Body>
    QJSValue guarded(Body&& body)
    {
        try {
            return body();
        } catch (...) {
            m_bridge.throwError(toRuntimeError(std::current_exception()));
            return {};
        }
    }

    ScriptBridge& m_bridge;
    std::variant<DispatchObject, WeakDispatchObject> m_object;
};

ScriptBridge::ScriptBridge(QJSEngine& engine)
    : m_engine(engine)
    , m_makeProxy(engine.evaluate(QString::fromUtf8(kProxyFactory)))
{
}

QJSValue ScriptBridge::proxyOf(const DispatchObject& object)
{
    if (object.isNothing())
        return QJSValue(QJSValue::NullValue);
    return m_makeProxy.call({m_engine.newQObject(new ScriptHandle(*this, object))});
}

QJSValue ScriptBridge::proxyOf(const WeakDispatchObject& object)
{
    return m_makeProxy.call({m_engine.newQObject(new ScriptHandle(*this, object))});
}

QJSValue ScriptBridge::toScript(const Variant& value)
{
    switch (value.type()) {
    case Variant::Type::Empty: return QJSValue(QJSValue::UndefinedValue);
    case Variant::Type::Boolean: return QJSValue(value.toBool());
    case Variant::Type::Integer:
    case Variant::Type::Long:
    case Variant::Type::Double: return QJSValue(value.toDouble());
    case Variant::Type::String: return QJSValue(value.toString());
    case Variant::Type::Object: break;
    }
    if (const auto object = value.object<DispatchObject>())
        return proxyOf(*object);
    return QJSValue(QJSValue::NullValue);
}

Variant ScriptBridge::fromScript(const QJSValue& value) const
{
    if (value.isUndefined() || value.isNull())
        return {};
    if (value.isBool())
        return value.toBool();
    if (value.isNumber()) {
        const double number = value.toNumber();
        if (std::trunc(number) == number && number >= std::numeric_limits<qint32>::min() &&
            number <= std::numeric_limits<qint32>::max())
            return qint32(number);
        return number;
    }
    if (value.isString())
        return value.toString();
    if (value.isObject()) {
        if (const auto* handle = qobject_cast<ScriptHandle*>(value.property(QStringLiteral("__handle")).toQObject()))
            return handle->object().toVariant();
    }
    raiseError(err::TypeMismatch);
}

void ScriptBridge::throwError(const RuntimeError& error)
{
    m_engine.throwError(QStringLiteral("%1 (error %2)").arg(error.Description()).arg(error.Number()));
}

} // namespace kelvane

#include "ScriptBridge.moc"
