#include "automation/AutomationService.h"

#include "automation/ApplicationService.h"
#include "automation/BusClients.h"
#include "automation/BusObjectTree.h"
#include "automation/BusProperties.h"
#include "automation/DBusNames.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMetaType>

namespace kelvane {

namespace {

// The properties go through BusProperties, an adaptor of each object.
constexpr auto kExported = QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals |
                           QDBusConnection::ExportAllProperties | QDBusConnection::ExportAdaptors;

} // namespace

AutomationService::AutomationService(AutomationHost& host, QDBusConnection connection,
                                     std::chrono::milliseconds sinkTimeLimit)
    : m_connection(std::move(connection))
    , m_clients(std::make_unique<BusClients>(m_connection))
    , m_knowledgeBase(std::make_unique<KnowledgeBaseService>(host, m_connection, *m_clients, sinkTimeLimit))
    , m_application(std::make_unique<ApplicationService>(host))
    , m_editor(std::make_unique<EditorService>(host))
{
    qDBusRegisterMetaType<QList<QDBusObjectPath>>();
    for (QObject* object : std::initializer_list<QObject*> {m_knowledgeBase.get(), m_application.get(), m_editor.get()})
        new BusProperties(*object, *m_clients, m_connection); // owned by the object
    if (!m_connection.isConnected()) {
        qWarning("Automation: no bus to offer the knowledge base on: %s", qPrintable(m_connection.lastError().message()));
        return;
    }
    m_registered = m_connection.registerObject(dbusnames::kKnowledgeBasePath, m_knowledgeBase.get(), kExported) &&
                   m_connection.registerObject(dbusnames::kApplicationPath, m_application.get(), kExported) &&
                   m_connection.registerObject(dbusnames::kEditorPath, m_editor.get(), kExported);
    for (const QString& root : BusObjectTree::roots()) {
        m_registered = m_registered && m_connection.registerVirtualObject(dbusnames::kKnowledgeBasePath + u'/' + root,
                                                                          &m_knowledgeBase->objects(),
                                                                          QDBusConnection::SubPath);
    }
    m_registered = m_registered && m_connection.registerVirtualObject(dbusnames::kObjectsPath, &m_knowledgeBase->objects(),
                                                                      QDBusConnection::SubPath);
    m_registered = m_registered && m_connection.registerService(dbusnames::kService);
    if (!m_registered)
        qWarning("Automation: %s could not be offered on the bus: %s", qPrintable(dbusnames::kService),
                 qPrintable(m_connection.lastError().message()));
}

AutomationService::~AutomationService()
{
    if (!m_connection.isConnected())
        return;
    m_connection.unregisterService(dbusnames::kService);
    m_connection.unregisterObject(dbusnames::kObjectsPath);
    for (const QString& root : BusObjectTree::roots())
        m_connection.unregisterObject(dbusnames::kKnowledgeBasePath + u'/' + root);
    for (const QString& path : {dbusnames::kEditorPath, dbusnames::kApplicationPath, dbusnames::kKnowledgeBasePath})
        m_connection.unregisterObject(path);
}

} // namespace kelvane
