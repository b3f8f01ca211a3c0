#include "automation/AutomationService.h"

#include "automation/ApplicationService.h"
#include "automation/AutomationHost.h"
#include "automation/BusClients.h"
#include "automation/BusObjectTree.h"
#include "automation/BusProperties.h"
#include "automation/DBusNames.h"
#include "automation/KnowledgeBaseWindow.h"
#include "shell/ShellGlobals.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMetaType>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace kelvane {

namespace {

// The properties go through BusProperties, an adaptor of each object.
constexpr auto kExported = QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals |
                           QDBusConnection::ExportAllProperties | QDBusConnection::ExportAdaptors;

// Ends the program when its last client has left, unless the main window was shown meanwhile.
// A client that comes within a few seconds keeps it: a script whose every call is a client of
// its own (gdbus call, dbus-send) finds the program it started.
class EndWhenLeftAlone : public QObject {
public:
    EndWhenLeftAlone(AutomationHost& host, BusClients& clients) : m_host(host), m_clients(clients)
    {
        if (KnowledgeBaseWindow* window = m_host.window())
            window->widget().installEventFilter(this);
        m_grace.setSingleShot(true);
        m_grace.setInterval(std::chrono::seconds(5));
        connect(&m_clients, &BusClients::allLeft, &m_grace, qOverload<>(&QTimer::start));
        connect(&m_grace, &QTimer::timeout, this, &EndWhenLeftAlone::end);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            m_shown = true;
        return QObject::eventFilter(watched, event);
    }

private:
    void end()
    {
        if (m_shown || !basGlobal::AutomationMode || !m_clients.isEmpty())
            return;
        m_host.shutdown().request(
            [](bool ended, const QStringList& unshown) {
                if (ended)
                    return;
                qWarning("Automation: the last client has left the bus: the program ends without saving%s%s",
                         unshown.isEmpty() ? "" : ": ", qPrintable(unshown.join(u' ')));
                QCoreApplication::exit(0);
            },
            ShutdownRequest::When::Later);
    }

    AutomationHost& m_host;
    BusClients& m_clients;
    QTimer m_grace;
    bool m_shown = false;
};

} // namespace

AutomationService::AutomationService(AutomationHost& host, QDBusConnection connection,
                                     std::chrono::milliseconds sinkTimeLimit)
    : m_host(host)
    , m_connection(std::move(connection))
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

void AutomationService::endProgramWhenLeftAlone()
{
    m_endWhenLeftAlone = std::make_unique<EndWhenLeftAlone>(m_host, *m_clients);
}

} // namespace kelvane
