#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QSet>

class QDBusMessage;
class QDBusServiceWatcher;

namespace kelvane {

// The peers on the bus that called the program's automation objects: each counts from its
// first call until it leaves the bus.
class BusClients : public QObject {
    Q_OBJECT

public:
    explicit BusClients(const QDBusConnection& connection);

    // The sender of `call` counts as a client from now on.
    void note(const QDBusMessage& call);
    bool isEmpty() const { return m_clients.isEmpty(); }

Q_SIGNALS:
    // `client` left the bus: whatever was kept for it may go.
    void left(const QString& client);
    // The last client left the bus.
    void allLeft();

private:
    QDBusServiceWatcher* m_watcher; // owned by this object
    QSet<QString> m_clients;
};

} // namespace kelvane
