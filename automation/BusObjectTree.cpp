#include "automation/BusObjectTree.h"

#include "automation/AutomationHost.h"
#include "automation/BusClients.h"
#include "automation/CollectionObject.h"
#include "automation/DBusNames.h"
#include "automation/KnowledgeBase.h"
#include "automation/ProgramClasses.h"
#include "platform/RuntimeError.h"
#include "platform/automation/Activator.h"
#include "platform/automation/DispatchTable.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

namespace kelvane {

using platform::automation::DispatchObject;
using platform::automation::MemberDescription;
using platform::automation::MemberKind;
using platform::automation::ValueType;

namespace {

const QString kUnknownObject = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");
const QString kUnknownProperty = QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty");
const QString kUnknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// A path that leads nowhere (any more).
struct NoObject {
    QString path;
};

bool isAsciiAlphanumeric(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

QString escapeKey(const QString& key)
{
    QString element;
    for (const char c : key.toUtf8()) {
        if (isAsciiAlphanumeric(c))
            element += QLatin1Char(c);
        else
            element += QStringLiteral("_%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return element;
}

std::optional<QString> unescapeKey(const QString& element)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < element.size(); ++i) {
        if (element.at(i) != u'_') {
            bytes += element.at(i).toLatin1();
            continue;
        }
        bool ok = false;
        const uint byte = element.mid(i + 1, 2).toUInt(&ok, 16);
        if (!ok || i + 2 >= element.size())
            return std::nullopt;
        bytes += char(byte);
        i += 2;
    }
    return QString::fromUtf8(bytes);
}

const automation::CollectionObject* collectionIn(const DispatchObject& object)
{
    return qobject_cast<const automation::CollectionObject*>(object.object());
}

// The element naming the item at `position` (1-based) of a collection: its key, else its place.
QString itemElement(const automation::CollectionObject& collection, qsizetype position)
{
    const QString key = collection.items().KeyAt(position);
    return key.isEmpty() ? QStringLiteral("i%1").arg(position) : u'k' + escapeKey(key);
}

// The class an object's members belong to, as its interface is named on the bus.
QString classOf(const DispatchObject& object)
{
    return object.table().members().name.mid(1);
}

QString interfaceOf(const DispatchObject& object)
{
    return dbusnames::kService + u'.' + classOf(object);
}

QString signatureOf(ValueType type)
{
    switch (type) {
    case ValueType::Boolean: return QStringLiteral("b");
    case ValueType::Integer: return QStringLiteral("n");
    case ValueType::Long:
    case ValueType::Colour: return QStringLiteral("i");
    case ValueType::Single:
    case ValueType::Double: return QStringLiteral("d");
    case ValueType::String: return QStringLiteral("s");
    case ValueType::Void: return {};
    case ValueType::Variant:
    case ValueType::Object: break;
    }
    return QStringLiteral("v");
}

bool isPlainProperty(const MemberDescription& member)
{
    return member.kind == MemberKind::Property && member.parameters.isEmpty();
}

// A value as it travels inside a variant: an object as `path`, a collection as its items' paths.
QVariant busValue(const Variant& value, const QString& path)
{
    switch (value.type()) {
    case Variant::Type::Empty: return QString();
    case Variant::Type::Boolean: return value.toBool();
    case Variant::Type::Integer: return QVariant::fromValue(short(value.toDouble()));
    case Variant::Type::Long: return qint32(value.toDouble());
    case Variant::Type::Double: return value.toDouble();
    case Variant::Type::String: return value.toString();
    case Variant::Type::Object: break;
    }
    const DispatchObject object = DispatchObject::fromVariant(value);
    if (object.isNothing())
        return QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")));
    if (const auto* collection = collectionIn(object)) {
        QList<QDBusObjectPath> items;
        for (qsizetype i = 1; i <= collection->items().Count(); ++i)
            items << QDBusObjectPath(path + u'/' + itemElement(*collection, i));
        return QVariant::fromValue(items);
    }
    return QVariant::fromValue(QDBusObjectPath(path));
}

// A member's value as the member's type travels.
QVariant typedValue(const MemberDescription& member, const Variant& value, const QString& path)
{
    switch (member.type) {
    case ValueType::Object:
        if (value.isEmpty())
            return QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))));
        break;
    case ValueType::Boolean: return value.toBool();
    case ValueType::Integer: return QVariant::fromValue(short(value.toDouble()));
    case ValueType::Long:
    case ValueType::Colour: return qint32(value.toDouble());
    case ValueType::Single:
    case ValueType::Double: return value.toDouble();
    case ValueType::String: return value.toString();
    default: break;
    }
    return QVariant::fromValue(QDBusVariant(busValue(value, path)));
}

} // namespace

BusObjectTree::BusObjectTree(AutomationHost& host, BusClients& clients) : m_host(host), m_clients(clients)
{
    qDBusRegisterMetaType<QList<QDBusObjectPath>>();
    connect(&m_clients, &BusClients::left, this, [this](const QString& client) { m_handedOut.releaseFor(client); });
}

QStringList BusObjectTree::roots()
{
    return {QStringLiteral("ApcProject"), QStringLiteral("Pages"),    QStringLiteral("Properties"),
            QStringLiteral("Layers"),     QStringLiteral("Report"),   QStringLiteral("MenuItems"),
            QStringLiteral("ReportMenuItems")};
}

QList<QDBusObjectPath> BusObjectTree::pathsOf(const QString& root) const
{
    const QString path = dbusnames::kKnowledgeBasePath + u'/' + root;
    const Variant value = m_host.live()->dispatch().get(root);
    if (!value.isObject())
        return {};
    const QVariant onTheBus = busValue(value, path);
    if (onTheBus.userType() == qMetaTypeId<QList<QDBusObjectPath>>())
        return onTheBus.value<QList<QDBusObjectPath>>();
    const auto single = onTheBus.value<QDBusObjectPath>();
    return single.path() == QStringLiteral("/") ? QList<QDBusObjectPath>() : QList<QDBusObjectPath> {single};
}

DispatchObject BusObjectTree::resolve(const QString& path) const
{
    const QStringList elements = path.split(u'/', Qt::SkipEmptyParts);
    if (elements.size() < 2)
        throw NoObject {path};
    // The way starts at the live knowledge base (the first element, the root, is its member) or
    // at an object handed out (the first element names it).
    DispatchObject object;
    qsizetype first = 1;
    if (u'/' + elements.first() == dbusnames::kKnowledgeBasePath && roots().contains(elements.at(1))) {
        object = m_host.live()->dispatch();
    } else if (u'/' + elements.first() == dbusnames::kObjectsPath) {
        object = m_handedOut.find(elements.at(1));
        first = 2;
    }
    if (object.isNothing())
        throw NoObject {path};
    try {
        for (qsizetype i = first; i < elements.size(); ++i) {
            const QString& element = elements.at(i);
            Variant value;
            const auto* collection = collectionIn(object);
            if (collection && element.startsWith(u'i')) {
                bool ok = false;
                const qsizetype position = element.mid(1).toLongLong(&ok);
                if (!ok || position < 1 || position > collection->items().Count())
                    throw NoObject {path};
                value = collection->items().Item(position);
            } else if (collection && element.startsWith(u'k')) {
                const auto key = unescapeKey(element.mid(1));
                const qsizetype position = key ? collection->items().PositionOf(*key) : 0;
                if (position == 0)
                    throw NoObject {path};
                value = collection->items().Item(position);
            } else {
                const MemberDescription* member = object.table().members().member(element);
                if (!member || !isPlainProperty(*member) || !member->readable())
                    throw NoObject {path};
                value = object.get(member->id);
            }
            if (!value.isObject())
                throw NoObject {path};
            object = DispatchObject::fromVariant(value);
            if (object.isNothing())
                throw NoObject {path};
        }
    } catch (const RuntimeError&) {
        throw NoObject {path};
    }
    return object;
}

QString BusObjectTree::introspect(const QString& path) const
{
    if (path == dbusnames::kObjectsPath)
        return QStringLiteral("  <interface name=\"%1\">\n"
                              "    <method name=\"CreateObject\">\n"
                              "      <arg name=\"ProgID\" type=\"s\" direction=\"in\"/>\n"
                              "      <arg name=\"result\" type=\"o\" direction=\"out\"/>\n"
                              "    </method>\n"
                              "  </interface>\n")
            .arg(dbusnames::kObjectsInterface);
    DispatchObject object;
    try {
        object = resolve(path);
    } catch (const NoObject&) {
        return {};
    }
    QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(interfaceOf(object));
    for (const MemberDescription& member : object.table().members().members) {
        if (isPlainProperty(member)) {
            const QString access = member.readable() && member.writable() ? QStringLiteral("readwrite")
                                   : member.readable()                     ? QStringLiteral("read")
                                                                           : QStringLiteral("write");
            xml += QStringLiteral("    <property name=\"%1\" type=\"%2\" access=\"%3\">\n"
                                  "      <annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" "
                                  "value=\"false\"/>\n    </property>\n")
                       .arg(member.name, signatureOf(member.type), access);
            continue;
        }
        if (member.kind == MemberKind::Event)
            continue;
        xml += QStringLiteral("    <method name=\"%1\">\n").arg(member.name);
        for (const auto& parameter : member.parameters)
            xml += QStringLiteral("      <arg name=\"%1\" type=\"%2\" direction=\"in\"/>\n")
                       .arg(parameter.name, signatureOf(parameter.type));
        if (member.type != ValueType::Void)
            xml += QStringLiteral("      <arg name=\"result\" type=\"%1\" direction=\"out\"/>\n").arg(signatureOf(member.type));
        xml += QStringLiteral("    </method>\n");
    }
    xml += QStringLiteral("  </interface>\n"
                          "  <interface name=\"org.freedesktop.DBus.Properties\">\n"
                          "    <method name=\"Get\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"property_name\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"value\" type=\"v\" direction=\"out\"/></method>\n"
                          "    <method name=\"Set\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"property_name\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"value\" type=\"v\" direction=\"in\"/></method>\n"
                          "    <method name=\"GetAll\"><arg name=\"interface_name\" type=\"s\" direction=\"in\"/>"
                          "<arg name=\"values\" type=\"a{sv}\" direction=\"out\"/></method>\n"
                          "  </interface>\n");
    return xml;
}

bool BusObjectTree::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    m_clients.note(message);
    QDBusConnection(connection).send(answer(message));
    return true;
}

QDBusMessage BusObjectTree::answer(const QDBusMessage& message)
{
    if (message.interface() == QStringLiteral("org.freedesktop.DBus.Introspectable")
        && message.member() == QStringLiteral("Introspect")) {
        // A path that leads nowhere is an empty node: browsing the tree meets no error.
        return message.createReply(QStringLiteral("<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection "
                                                  "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                                                  "introspect.dtd\">\n<node>\n%1</node>\n")
                                       .arg(introspect(message.path())));
    }
    try {
        if (message.path() == dbusnames::kObjectsPath)
            return create(message);
        const DispatchObject object = resolve(message.path());
        if (message.interface() == kPropertiesInterface)
            return property(message, object, message.path());
        return call(message, object, message.path());
    } catch (const NoObject& gone) {
        return message.createErrorReply(kUnknownObject, QStringLiteral("No object at %1 (any more)").arg(gone.path));
    } catch (const RuntimeError& error) {
        return message.createErrorReply(dbusnames::kFailedError, error.Description());
    }
}

namespace {

// A value a client sends, as the object model takes it: a path is the object it leads to.
Variant modelValue(const QVariant& value, const std::function<DispatchObject(const QString&)>& resolve)
{
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return modelValue(value.value<QDBusVariant>().variant(), resolve);
    if (value.userType() == qMetaTypeId<QDBusObjectPath>()) {
        const QString path = value.value<QDBusObjectPath>().path();
        return path == QStringLiteral("/") ? Variant() : resolve(path).toVariant();
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar: return qint16(value.toInt());
    case QMetaType::Int:
    case QMetaType::UInt: return qint32(value.toLongLong());
    case QMetaType::Double: return value.toDouble();
    case QMetaType::QString: return value.toString();
    default: break;
    }
    raiseError(err::TypeMismatch, QStringLiteral("A value of type %1 cannot be given here").arg(QString::fromLatin1(value.typeName())));
}

} // namespace

QDBusMessage BusObjectTree::property(const QDBusMessage& message, const DispatchObject& object, const QString& path) const
{
    const QList<QVariant> arguments = message.arguments();
    const auto memberNamed = [&](const QString& name) -> const MemberDescription& {
        const MemberDescription* member = object.table().members().member(name);
        if (!member || !isPlainProperty(*member))
            raiseError(err::ObjectDoesNotSupport, QStringLiteral("%1 has no property %2").arg(classOf(object), name));
        return *member;
    };
    if (message.member() == QStringLiteral("Get") && arguments.size() == 2) {
        const MemberDescription& member = memberNamed(arguments.at(1).toString());
        const QVariant value = typedValue(member, object.get(member.id), path + u'/' + member.name);
        // A value that is itself a variant travels as one.
        return message.createReply(value.userType() == qMetaTypeId<QDBusVariant>() ? value
                                                                                    : QVariant::fromValue(QDBusVariant(value)));
    }
    if (message.member() == QStringLiteral("GetAll") && arguments.size() == 1) {
        QVariantMap values;
        for (const MemberDescription& member : object.table().members().members) {
            if (isPlainProperty(member) && member.readable())
                values.insert(member.name, busValue(object.get(member.id), path + u'/' + member.name));
        }
        return message.createReply(QVariant::fromValue(values));
    }
    if (message.member() == QStringLiteral("Set") && arguments.size() == 3) {
        const MemberDescription& member = memberNamed(arguments.at(1).toString());
        object.put(member.id, modelValue(arguments.at(2), [this](const QString& target) { return resolve(target); }));
        return message.createReply();
    }
    return message.createErrorReply(kUnknownMethod, QStringLiteral("No method %1 of the properties interface").arg(message.member()));
}

QDBusMessage BusObjectTree::call(const QDBusMessage& message, const DispatchObject& object, const QString& path)
{
    const MemberDescription* member = object.table().members().member(message.member());
    if (!member || isPlainProperty(*member) || member->kind == MemberKind::Event)
        return message.createErrorReply(kUnknownMethod,
                                        QStringLiteral("%1 has no method %2").arg(classOf(object), message.member()));
    QList<Variant> arguments;
    for (const QVariant& argument : message.arguments())
        arguments << modelValue(argument, [this](const QString& target) { return resolve(target); });
    const Variant result = member->kind == MemberKind::Property ? object.get(member->id, arguments)
                                                                : object.call(member->id, arguments);
    if (member->type == ValueType::Void)
        return message.createReply();
    if (!result.isObject() || DispatchObject::fromVariant(result).isNothing())
        return message.createReply(typedValue(*member, result, path));
    // An item of a collection is reached by the way to it; any other object made here is handed
    // to the caller.
    const auto* collection = collectionIn(object);
    const qsizetype position =
        collection && !arguments.isEmpty()
            ? (arguments.first().type() == Variant::Type::String ? collection->items().PositionOf(arguments.first().toString())
                                                                  : qsizetype(arguments.first().toDouble()))
            : 0;
    const QString resultPath = position >= 1 ? path + u'/' + itemElement(*collection, position)
                                             : m_handedOut.add(DispatchObject::fromVariant(result), message.service());
    return message.createReply(typedValue(*member, result, resultPath));
}

QDBusMessage BusObjectTree::create(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if ((!message.interface().isEmpty() && message.interface() != dbusnames::kObjectsInterface)
        || message.member() != QStringLiteral("CreateObject") || arguments.size() != 1
        || arguments.first().metaType().id() != QMetaType::QString)
        return message.createErrorReply(kUnknownMethod, QStringLiteral("No method %1 here").arg(message.member()));
    // The program's own classes, made as macro code makes them.
    auto& activator = platform::activator();
    const QUuid classId = activator.classIdOfProgId(arguments.first().toString());
    if (classId.isNull() || !automation::programClassServer().classObject(classId))
        raiseError(err::CantCreateObject, QStringLiteral("%1 is no class of the program").arg(arguments.first().toString()));
    const QString path = m_handedOut.add(activator.createObject(classId), message.service());
    return message.createReply(QVariant::fromValue(QDBusObjectPath(path)));
}

} // namespace kelvane
