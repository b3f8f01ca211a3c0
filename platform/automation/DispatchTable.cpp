#include "platform/automation/DispatchTable.h"

#include "platform/RuntimeError.h"
#include "platform/automation/AutomationValues.h"

#include <QMetaMethod>
#include <QMetaProperty>

namespace platform::automation {

namespace {

bool methodCrosses(const QMetaMethod& method)
{
    if (!canCross(method.returnMetaType()))
        return false;
    for (int i = 0; i < method.parameterCount(); ++i) {
        if (!canCross(parameterType(method, i)))
            return false;
    }
    return true;
}

// The invokable methods (slots included), or the signals, of that name by their number of
// parameters; a derived class's member wins over its base's.
QHash<int, int> methodsNamed(const QMetaObject& meta, const QString& name, bool signal)
{
    QHash<int, int> found;
    const QByteArray wanted = name.toLatin1();
    for (int i = 0; i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        const QMetaMethod::MethodType type = method.methodType();
        const bool fits = signal ? type == QMetaMethod::Signal : type == QMetaMethod::Method || type == QMetaMethod::Slot;
        if (fits && method.name() == wanted)
            found.insert(method.parameterCount(), i);
    }
    return found;
}

QString capitalisedSetter(const QString& name) { return QStringLiteral("set") + name.left(1).toUpper() + name.mid(1); }

} // namespace

DispatchTable::DispatchTable(const QMetaObject& metaObject, InterfaceDescription members,
                             std::optional<InterfaceDescription> events)
    : m_metaObject(metaObject)
    , m_members(std::move(members))
    , m_events(std::move(events))
{
    for (const MemberDescription& member : std::as_const(m_members.members))
        m_bindings.insert(member.id, bind(member));
    if (m_events) {
        for (const MemberDescription& event : std::as_const(m_events->members))
            m_eventBindings.append(bind(event));
    }
}

QString DispatchTable::where(const MemberDescription& member) const
{
    return QStringLiteral("%1.%2").arg(QString::fromLatin1(m_metaObject.className()), member.name);
}

DispatchTable::Binding DispatchTable::bind(const MemberDescription& member) const
{
    Binding binding;
    binding.member = &member;
    const int indexes = static_cast<int>(member.parameters.size());
    bool complete = true;

    switch (member.kind) {
    case MemberKind::Property: {
        const int property = m_metaObject.indexOfProperty(member.name.toLatin1().constData());
        if (member.readable()) {
            if (indexes == 0 && property >= 0 && m_metaObject.property(property).isReadable())
                binding.readProperty = property;
            else
                binding.readers = methodsNamed(m_metaObject, member.name, false);
            complete = binding.readProperty >= 0 || binding.readers.contains(indexes);
        }
        if (complete && member.writable()) {
            if (indexes == 0 && property >= 0 && m_metaObject.property(property).isWritable())
                binding.writeProperty = property;
            else
                binding.writers = methodsNamed(m_metaObject, capitalisedSetter(member.name), false);
            complete = binding.writeProperty >= 0 || binding.writers.contains(indexes + 1);
        }
        for (int index : {binding.readProperty, binding.writeProperty}) {
            if (index >= 0 && !canCross(m_metaObject.property(index).metaType()))
                kelvane::raiseError(kelvane::err::TypeMismatch, where(member) + QStringLiteral(": its type cannot cross"));
        }
        break;
    }
    case MemberKind::Method:
        binding.readers = methodsNamed(m_metaObject, member.name, false);
        complete = binding.readers.contains(indexes);
        break;
    case MemberKind::Event: {
        const QHash<int, int> signalsNamed = methodsNamed(m_metaObject, member.name, true);
        binding.signal = signalsNamed.value(indexes, -1);
        complete = binding.signal >= 0;
        if (complete && !methodCrosses(m_metaObject.method(binding.signal)))
            kelvane::raiseError(kelvane::err::TypeMismatch, where(member) + QStringLiteral(": its types cannot cross"));
        break;
    }
    }
    if (!complete)
        kelvane::raiseError(kelvane::err::ObjectDoesNotSupport, where(member) + QStringLiteral(" has no Qt member to carry it"));
    for (const QHash<int, int>& methods : {binding.readers, binding.writers}) {
        for (const int index : methods) {
            if (!methodCrosses(m_metaObject.method(index)))
                kelvane::raiseError(kelvane::err::TypeMismatch, where(member) + QStringLiteral(": its types cannot cross"));
        }
    }
    return binding;
}

DispId DispatchTable::idOfName(const QString& name) const
{
    const MemberDescription* member = m_members.member(name);
    if (!member)
        kelvane::raiseError(kelvane::err::ObjectDoesNotSupport);
    return member->id;
}

const DispatchTable::Binding& DispatchTable::binding(DispId id) const
{
    const auto it = m_bindings.constFind(id);
    if (it == m_bindings.constEnd())
        kelvane::raiseError(kelvane::err::ObjectDoesNotSupport);
    return *it;
}

} // namespace platform::automation
