#pragma once

#include "platform/automation/TypeLibrary.h"

#include <QHash>
#include <QMetaObject>
#include <optional>

namespace platform::automation {

// The dispatch table of one class: every member of its interface bound to the Qt member that
// carries it, so callers can reach the member by dispatch identifier or by name.
//   - a property without indexes: the Q_PROPERTY of that name (reading and/or writing);
//   - a property with indexes: Q_INVOKABLE `Name(indexes...)` to read, `setName(indexes..., value)`
//     to write;
//   - a method: Q_INVOKABLE `Name(parameters...)` (optional parameters as C++ default arguments);
//   - an event: the signal `Name(parameters...)`; by-reference parameters are non-const references.
// Values cross as bool, qint16, qint32 (int), float, double, QString, kelvane::Variant or
// DispatchObject. Built once per class and shared by its objects.
class DispatchTable {
public:
    struct Binding {
        const MemberDescription* member = nullptr;
        int readProperty = -1;   // Q_PROPERTY index, or -1
        int writeProperty = -1;  // Q_PROPERTY index, or -1
        QHash<int, int> readers; // argument count -> method index (methods and indexed reads)
        QHash<int, int> writers; // argument count, value included -> method index
        int signal = -1;         // event: the signal's method index
    };

    // Raises ObjectDoesNotSupport (438) naming the first member the class does not carry, or
    // TypeMismatch (13) for a Qt member whose types cannot cross.
    DispatchTable(const QMetaObject& metaObject, InterfaceDescription members,
                  std::optional<InterfaceDescription> events = std::nullopt);
    DispatchTable(const DispatchTable&) = delete;
    DispatchTable& operator=(const DispatchTable&) = delete;

    const QMetaObject& metaObject() const { return m_metaObject; }
    const InterfaceDescription& members() const { return m_members; }
    const InterfaceDescription* events() const { return m_events ? &*m_events : nullptr; }

    // The identifier of a member (names without regard to case); raises 438 for none.
    DispId idOfName(const QString& name) const;
    // The binding of a member; raises 438 for an unknown identifier.
    const Binding& binding(DispId id) const;
    // The bindings of the events, in the order of the event interface.
    const QList<Binding>& eventBindings() const { return m_eventBindings; }

private:
    Binding bind(const MemberDescription& member) const;
    QString where(const MemberDescription& member) const;

    const QMetaObject& m_metaObject;
    InterfaceDescription m_members;
    std::optional<InterfaceDescription> m_events;
    QHash<DispId, Binding> m_bindings;
    QList<Binding> m_eventBindings;
};

} // namespace platform::automation
