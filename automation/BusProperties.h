#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QVariantMap>

namespace kelvane {

class BusClients;

// The properties interface of one of the program's objects on the bus (the object it is made
// for, its parent), in place of the one Qt D-Bus offers: a value written must be of the
// property's own type. Another type is refused with org.kelvane.Kelvane.Error.Failed "Type
// mismatch", as the object model refuses a value it cannot take, and the property keeps its
// value (Qt D-Bus would convert it: "no" to true). Every caller counts as a client.
class BusProperties : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.Properties")
    // Described once, by Qt D-Bus, with every object.
    Q_CLASSINFO("D-Bus Introspection", "")

public:
    BusProperties(QObject& object, BusClients& clients, QDBusConnection connection);

public Q_SLOTS:
    QDBusVariant Get(const QString& interfaceName, const QString& propertyName, const QDBusMessage& call);
    void Set(const QString& interfaceName, const QString& propertyName, const QDBusVariant& value, const QDBusMessage& call);
    QVariantMap GetAll(const QString& interfaceName, const QDBusMessage& call);

private:
    // The index of the object's property of that name; -1, with the error answered, for none.
    int propertyIndex(const QString& interfaceName, const QString& propertyName, const QDBusMessage& call);
    bool knowsInterface(const QString& interfaceName, const QDBusMessage& call);
    void answerError(const QDBusMessage& call, const QString& name, const QString& text);

    QObject& m_object;
    BusClients& m_clients;
    QDBusConnection m_connection;
};

} // namespace kelvane
