#pragma once

#include <QList>
#include <QString>
#include <QUuid>

namespace platform::automation {

// A member's dispatch identifier; 0 is the default member (the value of the object).
using DispId = qint32;
inline constexpr DispId DefaultMember = 0;

// The types automation values have on an interface.
enum class ValueType { Void, Boolean, Integer, Long, Single, Double, String, Colour, Variant, Object };

struct ParameterDescription {
    QString name {};
    ValueType type = ValueType::Variant;
    bool byReference = false;
    bool optional = false;
};

enum class MemberKind { Property, Method, Event };
enum class Access { ReadWrite, ReadOnly, WriteOnly };

// One member of an interface. A property's parameters are its indexes (a property without
// them is a plain value); its type is the value's. A method's or event's type is its result.
struct MemberDescription {
    QString name {};
    DispId id = 0;
    MemberKind kind = MemberKind::Method;
    ValueType type = ValueType::Void;
    Access access = Access::ReadWrite;
    QList<ParameterDescription> parameters {};
    QString helpString {};
    quint32 helpContext = 0;

    bool readable() const { return kind == MemberKind::Property && access != Access::WriteOnly; }
    bool writable() const { return kind == MemberKind::Property && access != Access::ReadOnly; }
    int requiredParameters() const;
};

// A dispatch interface: the members an object offers to callers, or (`events`) the events
// it raises to its sinks.
struct InterfaceDescription {
    QString name {};
    QUuid id {};
    bool events = false;
    bool dual = false;
    bool hidden = false;
    bool nonExtensible = false;
    QString helpString {};
    QList<MemberDescription> members {};

    // Lookups; names without regard to case. Null when there is no such member.
    const MemberDescription* member(DispId id) const;
    const MemberDescription* member(const QString& name) const;
};

// A class of objects: its default interface and the interface of the events it raises.
struct ClassDescription {
    QString name {};
    QUuid id {};
    QString defaultInterface {};
    QString eventInterface {}; // empty when it raises none
    bool control = false;
    bool creatable = true;
    bool applicationObject = false;
    QString helpString {};
};

// What a library or program describes of its automation classes, as data that
// registration reads and that callers and tests can inspect.
struct TypeLibraryDescription {
    QString name {};
    QUuid id {};
    quint16 majorVersion = 1;
    quint16 minorVersion = 0;
    QString helpString {};
    QString helpFile {};
    QList<InterfaceDescription> interfaces {};
    QList<ClassDescription> classes {};

    // "2.0"
    QString versionText() const;
    // Lookups by name (without regard to case) or identifier; null when there is none.
    const InterfaceDescription* findInterface(const QString& name) const;
    const ClassDescription* findClass(const QString& name) const;
    const ClassDescription* findClass(const QUuid& id) const;
};

// Shorthands for writing descriptions as tables.
ParameterDescription parameter(QString name, ValueType type, bool byReference = false, bool optional = false);
MemberDescription propertyMember(QString name, DispId id, ValueType type, Access access = Access::ReadWrite,
                           QList<ParameterDescription> indexes = {}, QString helpString = {});
MemberDescription methodMember(QString name, DispId id, ValueType result = ValueType::Void,
                         QList<ParameterDescription> parameters = {}, QString helpString = {});
MemberDescription eventMember(QString name, DispId id, QList<ParameterDescription> parameters = {});

// A class identifier in the registry's form: "{0C4A2E51-...}" in upper case.
QString registryText(const QUuid& id);

} // namespace platform::automation
