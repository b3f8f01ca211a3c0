#pragma once

#include "platform/automation/Activator.h"
#include "platform/automation/ClassFactory.h"
#include "platform/automation/ClassRegistration.h"
#include "platform/automation/TypeLibrary.h"

#include <functional>
#include <memory>
#include <vector>

namespace platform::automation {

// One class a server makes: how it is registered and how an object of it is made: `create`, or
// for objects that live in shared ownership from the start (or that the server hands out again)
// `createShared`.
struct ServedClass {
    ClassRegistration registration;
    const QMetaObject* metaObject = nullptr;
    std::function<std::unique_ptr<QObject>()> create;
    std::function<std::shared_ptr<QObject>()> createShared = {};

    template <class T>
    static ServedClass of(ClassRegistration registration)
    {
        return ServedClass {std::move(registration), &T::staticMetaObject, [] { return std::make_unique<T>(); }};
    }
};

// The classes that one server offers, with their type library: a control library (an
// in-process server, see KELVANE_IN_PROCESS_SERVER) or the program itself (a local server,
// which offers its classes to the activator while it runs). It writes and removes their
// registry keys, hands out their class factories and counts their objects still alive.
// Every class's dispatch table is bound when the server is made (see DispatchTable for what
// that raises).
class ClassServer {
public:
    ClassServer(TypeLibraryDescription typeLibrary, QList<ServedClass> classes);
    ~ClassServer();
    ClassServer(const ClassServer&) = delete;
    ClassServer& operator=(const ClassServer&) = delete;

    const TypeLibraryDescription& typeLibrary() const { return *m_typeLibrary; }

    void registerServer(ServerKind kind, const QString& serverPath) const;
    void unregisterServer() const;

    // The factory of a served class; null for any other class.
    std::shared_ptr<ClassFactory> classObject(const QUuid& classId) const;
    // The dispatch table of a served class, for the server's own objects; null for any other.
    std::shared_ptr<const DispatchTable> dispatchTable(const QString& className) const;

    int liveObjects() const { return *m_liveObjects; }

    // Offers every class to the activator until the registrations are destroyed.
    [[nodiscard]] std::vector<ClassObjectRegistration> publish(Activator& activator) const;

    struct Entry; // one served class with its identifier and table (the factories share it)

private:
    QList<ClassRegistration> registrations() const;

    std::shared_ptr<const TypeLibraryDescription> m_typeLibrary;
    std::vector<std::shared_ptr<const Entry>> m_entries;
    std::shared_ptr<int> m_liveObjects;
};

} // namespace platform::automation
