#include "automation/BusClients.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace kelvane {

BusClients::BusClients(const QDBusConnection& connection)
    : m_watcher(new QDBusServiceWatcher(QString(), connection, QDBusServiceWatcher::WatchForUnregistration, this))
{
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString& client) {
        m_watcher->removeWatchedService(client);
        if (!m_clients.remove(client))
            return;
        Q_EMIT left(client);
        if (m_clients.isEmpty())
            Q_EMIT allLeft();
    });
}

void BusClients::note(const QDBusMessage& call)
{
    const QString client = call.service();
    if (client.isEmpty() || m_clients.contains(client))
        return;
    m_clients.insert(client);
    m_watcher->addWatchedService(client);
}

} // namespace kelvane
