#include "platform/automation/DispatchObject.h"

#include "platform/RuntimeError.h"
#include "platform/automation/AutomationValues.h"
#include "platform/automation/EventConnection.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <vector>

namespace platform::automation {

using kelvane::Variant;

DispatchObject::DispatchObject(std::shared_ptr<QObject> object, std::shared_ptr<const DispatchTable> table)
    : m_object(std::move(object))
    , m_table(std::move(table))
{
}

void DispatchObject::requireObject() const
{
    if (!m_object)
        kelvane::raiseError(kelvane::err::ObjectNotSet);
}

const DispatchTable& DispatchObject::table() const
{
    requireObject();
    return *m_table;
}

DispId DispatchObject::idOfName(const QString& name) const { return table().idOfName(name); }

Variant DispatchObject::invoke(DispId id, InvokeKind kind, QList<Variant>& arguments) const
{
    const DispatchTable::Binding& binding = table().binding(id);
    const MemberDescription& member = *binding.member;
    const int given = static_cast<int>(arguments.size());
    const auto requireCount = [&](int count, int required, int most) {
        if (count > most)
            kelvane::raiseError(kelvane::err::WrongNumberOfArguments);
        if (count < required)
            kelvane::raiseError(kelvane::err::ArgumentNotOptional);
    };
    const auto methodFor = [&](const QHash<int, int>& methods, int count) {
        const auto it = methods.constFind(count);
        if (it == methods.constEnd())
            kelvane::raiseError(kelvane::err::ArgumentNotOptional);
        return *it;
    };

    if (member.kind == MemberKind::Event)
        kelvane::raiseError(kelvane::err::ObjectDoesNotSupport);

    if (kind == InvokeKind::PropertyPut) {
        if (member.kind != MemberKind::Property)
            kelvane::raiseError(kelvane::err::ObjectDoesNotSupport);
        if (!member.writable() || given == 0)
            kelvane::raiseError(kelvane::err::WrongNumberOfArguments);
        requireCount(given - 1, member.requiredParameters(), static_cast<int>(member.parameters.size()));
        if (binding.writeProperty >= 0) {
            const QMetaProperty property = table().metaObject().property(binding.writeProperty);
            if (!property.write(m_object.get(), toQt(arguments.constLast(), property.metaType())))
                kelvane::raiseError(kelvane::err::TypeMismatch);
            return {};
        }
        callMethod(methodFor(binding.writers, given), arguments);
        return {};
    }

    if (member.kind == MemberKind::Property && !member.readable())
        kelvane::raiseError(kelvane::err::WrongNumberOfArguments);
    requireCount(given, member.requiredParameters(), static_cast<int>(member.parameters.size()));
    if (binding.readProperty >= 0)
        return fromQt(table().metaObject().property(binding.readProperty).read(m_object.get()));
    return callMethod(methodFor(binding.readers, given), arguments);
}

Variant DispatchObject::callMethod(int methodIndex, QList<Variant>& arguments) const
{
    const QMetaMethod method = table().metaObject().method(methodIndex);
    const int count = method.parameterCount();
    std::vector<QVariant> values;
    values.reserve(static_cast<size_t>(count));
    std::vector<void*> pointers(static_cast<size_t>(count) + 1, nullptr);
    QVariant result;
    if (method.returnMetaType().id() != QMetaType::Void) {
        result = QVariant(method.returnMetaType());
        pointers[0] = result.data();
    }
    for (int i = 0; i < count; ++i) {
        values.push_back(toQt(arguments.at(i), parameterType(method, i)));
        pointers[static_cast<size_t>(i) + 1] = values.back().data();
    }
    QMetaObject::metacall(m_object.get(), QMetaObject::InvokeMetaMethod, methodIndex, pointers.data());
    for (int i = 0; i < count; ++i) {
        if (isByReference(method, i))
            arguments[i] = fromQt(values[static_cast<size_t>(i)]);
    }
    return fromQt(result);
}

Variant DispatchObject::get(DispId id, QList<Variant> indexes) const { return invoke(id, InvokeKind::PropertyGet, indexes); }

Variant DispatchObject::get(const QString& name, QList<Variant> indexes) const
{
    return invoke(idOfName(name), InvokeKind::PropertyGet, indexes);
}

void DispatchObject::put(DispId id, const Variant& value, QList<Variant> indexes) const
{
    indexes.append(value);
    invoke(id, InvokeKind::PropertyPut, indexes);
}

void DispatchObject::put(const QString& name, const Variant& value, QList<Variant> indexes) const
{
    put(idOfName(name), value, std::move(indexes));
}

Variant DispatchObject::call(DispId id, QList<Variant> arguments) const { return invoke(id, InvokeKind::Method, arguments); }

Variant DispatchObject::call(const QString& name, QList<Variant> arguments) const
{
    return invoke(idOfName(name), InvokeKind::Method, arguments);
}

std::unique_ptr<EventConnection> DispatchObject::advise(std::shared_ptr<EventSink> sink) const
{
    if (!table().events())
        kelvane::raiseError(kelvane::err::ObjectDoesNotSupport);
    return std::make_unique<EventConnection>(*m_object, m_table, std::move(sink));
}

Variant DispatchObject::toVariant() const
{
    if (!m_object)
        return {};
    return Variant::fromObject(std::make_shared<DispatchObject>(*this));
}

DispatchObject DispatchObject::fromVariant(const Variant& value)
{
    if (value.isEmpty())
        return {};
    const auto object = value.object<DispatchObject>();
    if (!object)
        kelvane::raiseError(kelvane::err::TypeMismatch);
    return *object;
}

} // namespace platform::automation
