#include "platform/automation/ClassServer.h"

#include "platform/RuntimeError.h"
#include "platform/automation/ServerRegistration.h"

namespace platform::automation {

struct ClassServer::Entry {
    ServedClass served;
    QUuid classId;
    std::shared_ptr<const DispatchTable> table;
};

namespace {

class ServedClassFactory : public ClassFactory {
public:
    ServedClassFactory(std::shared_ptr<const ClassServer::Entry> entry, std::shared_ptr<int> liveObjects)
        : m_entry(std::move(entry))
        , m_liveObjects(std::move(liveObjects))
    {
    }

    DispatchObject createInstance() override;

private:
    std::shared_ptr<const ClassServer::Entry> m_entry;
    std::shared_ptr<int> m_liveObjects;
};

} // namespace

DispatchObject ServedClassFactory::createInstance()
{
    if (m_entry->served.createShared) {
        std::shared_ptr<QObject> made = m_entry->served.createShared();
        if (!made)
            return {};
        ++*m_liveObjects;
        QObject* raw = made.get();
        std::shared_ptr<QObject> object(raw, [made = std::move(made), live = m_liveObjects](QObject*) mutable {
            made.reset();
            --*live;
        });
        return DispatchObject(std::move(object), m_entry->table);
    }
    std::unique_ptr<QObject> made = m_entry->served.create();
    ++*m_liveObjects;
    std::shared_ptr<QObject> object(made.release(), [live = m_liveObjects](QObject* gone) {
        delete gone;
        --*live;
    });
    return DispatchObject(std::move(object), m_entry->table);
}

ClassServer::ClassServer(TypeLibraryDescription typeLibrary, QList<ServedClass> classes)
    : m_typeLibrary(std::make_shared<const TypeLibraryDescription>(std::move(typeLibrary)))
    , m_liveObjects(std::make_shared<int>(0))
{
    for (ServedClass& served : classes) {
        const ClassDescription* described = m_typeLibrary->findClass(served.registration.className);
        const InterfaceDescription* members = described ? m_typeLibrary->findInterface(described->defaultInterface) : nullptr;
        if (!members)
            kelvane::raiseError(kelvane::err::InvalidProcedureCall,
                                QStringLiteral("%1 does not describe the class %2")
                                    .arg(m_typeLibrary->name, served.registration.className));
        std::optional<InterfaceDescription> events;
        if (!described->eventInterface.isEmpty()) {
            const InterfaceDescription* raised = m_typeLibrary->findInterface(described->eventInterface);
            if (!raised)
                kelvane::raiseError(kelvane::err::InvalidProcedureCall,
                                    QStringLiteral("%1 does not describe %2").arg(m_typeLibrary->name, described->eventInterface));
            events = *raised;
        }
        auto table = std::make_shared<const DispatchTable>(*served.metaObject, *members, std::move(events));
        m_entries.push_back(std::make_shared<const Entry>(Entry {std::move(served), described->id, std::move(table)}));
    }
}

ClassServer::~ClassServer() = default;

QList<ClassRegistration> ClassServer::registrations() const
{
    QList<ClassRegistration> all;
    for (const auto& entry : m_entries)
        all.append(entry->served.registration);
    return all;
}

void ClassServer::registerServer(ServerKind kind, const QString& serverPath) const
{
    writeServerKeys(*m_typeLibrary, registrations(), kind, serverPath);
}

void ClassServer::unregisterServer() const { removeServerKeys(*m_typeLibrary, registrations()); }

std::shared_ptr<ClassFactory> ClassServer::classObject(const QUuid& classId) const
{
    for (const auto& entry : m_entries) {
        if (entry->classId == classId)
            return std::make_shared<ServedClassFactory>(entry, m_liveObjects);
    }
    return nullptr;
}

std::shared_ptr<const DispatchTable> ClassServer::dispatchTable(const QString& className) const
{
    for (const auto& entry : m_entries) {
        if (entry->served.registration.className.compare(className, Qt::CaseInsensitive) == 0)
            return entry->table;
    }
    return nullptr;
}

std::vector<ClassObjectRegistration> ClassServer::publish(Activator& activator) const
{
    std::vector<ClassObjectRegistration> offers;
    for (const auto& entry : m_entries)
        offers.push_back(activator.registerClassObject(entry->classId, classObject(entry->classId)));
    return offers;
}

} // namespace platform::automation
