#pragma once

#include "automation/HandedOutObjects.h"
#include "platform/Variant.h"
#include "platform/automation/DispatchObject.h"

#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QStringList>

namespace kelvane {

class AutomationHost;
class BusClients;

// The objects the knowledge base hands out (its pages, layers, properties, report, menu items
// and macro project, and what they lead to) on the bus. A path names the way to an object from
// the live knowledge base, one step per element: a member's name, or an item of a collection:
// "k" and its key, or "i" and its position when it has no key (characters other than letters
// and digits in a key are written as "_" and two hexadecimal digits of their UTF-8 bytes):
//   /KnowledgeBase/Pages/k_7b8E5D..._7d/Layers/i1/Nodes/k_7b1A2B..._7d/Name
// Each call follows the way anew, so a path shows the object as it is now; a path whose object
// went away (a page whose document was closed, a node deleted) answers UnknownObject.
//
// An object at a path offers the members macro code sees, as interface
// "org.kelvane.Kelvane.<Class>": properties with the D-Bus properties interface, methods (and
// indexed properties such as a collection's Item) as methods. Values of type Variant or
// Object travel as variants; an object travels as its path, a collection as the array of its
// items' paths, Nothing as "/".
//
// An object that a method makes and no path reaches (Clone's result) is handed to the caller
// under a path of its own below /Objects (see HandedOutObjects), and so is an object of one of
// the program's classes that a client creates by its ProgID with CreateObject of
// org.kelvane.Kelvane.Objects at /Objects:
//   CreateObject("Kelvane.MenuItem") -> /Objects/n1
// Such an object lives until its client leaves the bus; its members are reached as above
// (/Objects/n1/Font, ...).
class BusObjectTree : public QDBusVirtualObject {
    Q_OBJECT

public:
    BusObjectTree(AutomationHost& host, BusClients& clients);

    // The members of the knowledge base whose values this tree offers; each is a subtree.
    static QStringList roots();
    // The paths under which the value of the member `root` of the live knowledge base is reached:
    // one for an object, one per item for a collection, none for Nothing.
    QList<QDBusObjectPath> pathsOf(const QString& root) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    // The object at the path; raises UnknownObject's text as a RuntimeError when there is none.
    platform::automation::DispatchObject resolve(const QString& path) const;
    QDBusMessage answer(const QDBusMessage& message);
    QDBusMessage property(const QDBusMessage& message, const platform::automation::DispatchObject& object,
                          const QString& path) const;
    QDBusMessage call(const QDBusMessage& message, const platform::automation::DispatchObject& object,
                      const QString& path);
    // CreateObject at /Objects.
    QDBusMessage create(const QDBusMessage& message);

    AutomationHost& m_host;
    BusClients& m_clients;
    HandedOutObjects m_handedOut;
};

} // namespace kelvane
