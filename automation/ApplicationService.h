#pragma once

#include <QDBusObjectPath>
#include <QList>
#include <QObject>

namespace kelvane {

class AutomationHost;

// The application object on the session bus. Its object members are the paths of the objects
// they stand for: the application itself and its editor; the two lists of documents of another
// kind are empty, as in the program.
class ApplicationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kelvane.Kelvane.Application")
    // Its values never change: no change is ever announced.
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.kelvane.Kelvane.Application\">\n"
                "    <annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" value=\"const\"/>\n"
                "    <property name=\"Application\" type=\"o\" access=\"read\"/>\n"
                "    <property name=\"Name\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Parent\" type=\"o\" access=\"read\"/>\n"
                "    <property name=\"VBE\" type=\"o\" access=\"read\"/>\n"
                "    <property name=\"KnowledgeBase\" type=\"ao\" access=\"read\"/>\n"
                "    <property name=\"Documents\" type=\"ao\" access=\"read\"/>\n"
                "  </interface>\n")
    Q_PROPERTY(QDBusObjectPath Application READ Application)
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(QDBusObjectPath Parent READ Application)
    Q_PROPERTY(QDBusObjectPath VBE READ VBE)
    Q_PROPERTY(QList<QDBusObjectPath> KnowledgeBase READ KnowledgeBase)
    Q_PROPERTY(QList<QDBusObjectPath> Documents READ Documents)

public:
    explicit ApplicationService(AutomationHost& host) : m_host(host) {}

    QDBusObjectPath Application() const;
    QString Name() const;
    QDBusObjectPath VBE() const;
    QList<QDBusObjectPath> KnowledgeBase() const { return {}; }
    QList<QDBusObjectPath> Documents() const { return {}; }

private:
    AutomationHost& m_host;
};

// The macro editor on the session bus.
class EditorService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kelvane.Kelvane.VBE")
    // A change of Visible is not announced: clients read it.
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.kelvane.Kelvane.VBE\">\n"
                "    <property name=\"Visible\" type=\"b\" access=\"readwrite\">\n"
                "      <annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" value=\"false\"/>\n"
                "    </property>\n"
                "  </interface>\n")
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)

public:
    explicit EditorService(AutomationHost& host) : m_host(host) {}

    bool Visible() const;
    void setVisible(bool visible);

private:
    AutomationHost& m_host;
};

} // namespace kelvane
