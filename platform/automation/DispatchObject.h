#pragma once

#include "platform/Variant.h"
#include "platform/automation/DispatchTable.h"
#include "platform/automation/EventSink.h"

#include <QList>
#include <QObject>
#include <memory>

namespace platform::automation {

class EventConnection;

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// A reference to an automation object, as late-bound callers hold one: the object and its
// class's dispatch table. Copies share the object; the object lives while a reference does.
// Failures of the member itself reach the caller as the error it raised (see AutomationError).
class DispatchObject {
public:
    DispatchObject() = default; // Nothing
    DispatchObject(std::shared_ptr<QObject> object, std::shared_ptr<const DispatchTable> table);

    bool isNothing() const { return !m_object; }
    QObject* object() const { return m_object.get(); }
    const DispatchTable& table() const;

    // Raises ObjectDoesNotSupport (438) for an unknown name.
    DispId idOfName(const QString& name) const;

    // The one call everything goes through. Arguments come in order; for a put, the value
    // comes last. By-reference arguments come back as the member left them.
    // Raises 438 for an unknown member or a call it does not take (an event, a put of a method),
    // WrongNumberOfArguments (450) for too many arguments or a put to a read-only property,
    // ArgumentNotOptional (449) for too few, and the conversion errors of AutomationValues.h.
    kelvane::Variant invoke(DispId id, InvokeKind kind, QList<kelvane::Variant>& arguments) const;

    kelvane::Variant get(DispId id, QList<kelvane::Variant> indexes = {}) const;
    kelvane::Variant get(const QString& name, QList<kelvane::Variant> indexes = {}) const;
    void put(DispId id, const kelvane::Variant& value, QList<kelvane::Variant> indexes = {}) const;
    void put(const QString& name, const kelvane::Variant& value, QList<kelvane::Variant> indexes = {}) const;
    kelvane::Variant call(DispId id, QList<kelvane::Variant> arguments = {}) const;
    kelvane::Variant call(const QString& name, QList<kelvane::Variant> arguments = {}) const;

    // Connects a sink to the object's events until the connection is destroyed.
    // Raises 438 when the object raises no events.
    std::unique_ptr<EventConnection> advise(std::shared_ptr<EventSink> sink) const;

    // The reference as a Variant object, and back: Empty is Nothing; any other value that is
    // no automation object raises TypeMismatch (13).
    kelvane::Variant toVariant() const;
    static DispatchObject fromVariant(const kelvane::Variant& value);

    bool operator==(const DispatchObject& other) const { return m_object == other.m_object; }

private:
    friend class WeakDispatchObject;
    void requireObject() const;
    kelvane::Variant callMethod(int methodIndex, QList<kelvane::Variant>& arguments) const;

    std::shared_ptr<QObject> m_object;
    std::shared_ptr<const DispatchTable> m_table;
};

// A reference to an automation object that does not keep it alive: for an owner's back
// reference to an object that owns it.
class WeakDispatchObject {
public:
    WeakDispatchObject() = default;
    explicit WeakDispatchObject(const DispatchObject& object) : m_object(object.m_object), m_table(object.m_table) {}

    // The object while it lives; Nothing once it is gone.
    DispatchObject lock() const
    {
        auto object = m_object.lock();
        return object ? DispatchObject(std::move(object), m_table) : DispatchObject();
    }

private:
    std::weak_ptr<QObject> m_object;
    std::shared_ptr<const DispatchTable> m_table;
};

} // namespace platform::automation
