#include "platform/automation/TypeLibrary.h"

#include <algorithm>

namespace platform::automation {

namespace {

template <class T>
const T* findByName(const QList<T>& items, const QString& name)
{
    const auto it = std::find_if(items.begin(), items.end(),
                                 [&](const T& item) { return item.name.compare(name, Qt::CaseInsensitive) == 0; });
    return it == items.end() ? nullptr : &*it;
}

} // namespace

int MemberDescription::requiredParameters() const
{
    return static_cast<int>(std::count_if(parameters.begin(), parameters.end(),
                                          [](const ParameterDescription& p) { return !p.optional; }));
}

const MemberDescription* InterfaceDescription::member(DispId id) const
{
    const auto it = std::find_if(members.begin(), members.end(), [&](const MemberDescription& m) { return m.id == id; });
    return it == members.end() ? nullptr : &*it;
}

const MemberDescription* InterfaceDescription::member(const QString& name) const { return findByName(members, name); }

QString TypeLibraryDescription::versionText() const
{
    return QStringLiteral("%1.%2").arg(majorVersion).arg(minorVersion);
}

const InterfaceDescription* TypeLibraryDescription::findInterface(const QString& name) const
{
    return findByName(interfaces, name);
}

const ClassDescription* TypeLibraryDescription::findClass(const QString& name) const { return findByName(classes, name); }

const ClassDescription* TypeLibraryDescription::findClass(const QUuid& id) const
{
    const auto it = std::find_if(classes.begin(), classes.end(), [&](const ClassDescription& c) { return c.id == id; });
    return it == classes.end() ? nullptr : &*it;
}

ParameterDescription parameter(QString name, ValueType type, bool byReference, bool optional)
{
    return ParameterDescription {.name = std::move(name), .type = type, .byReference = byReference, .optional = optional};
}

MemberDescription propertyMember(QString name, DispId id, ValueType type, Access access, QList<ParameterDescription> indexes,
                           QString helpString)
{
    return MemberDescription {.name = std::move(name),
                              .id = id,
                              .kind = MemberKind::Property,
                              .type = type,
                              .access = access,
                              .parameters = std::move(indexes),
                              .helpString = std::move(helpString)};
}

MemberDescription methodMember(QString name, DispId id, ValueType result, QList<ParameterDescription> parameters, QString helpString)
{
    return MemberDescription {.name = std::move(name),
                              .id = id,
                              .kind = MemberKind::Method,
                              .type = result,
                              .parameters = std::move(parameters),
                              .helpString = std::move(helpString)};
}

MemberDescription eventMember(QString name, DispId id, QList<ParameterDescription> parameters)
{
    return MemberDescription {.name = std::move(name), .id = id, .kind = MemberKind::Event, .parameters = std::move(parameters)};
}

QString registryText(const QUuid& id) { return id.toString(QUuid::WithBraces).toUpper(); }

} // namespace platform::automation
