#include "automation/BusProperties.h"

#include "automation/BusClients.h"
#include "automation/DBusNames.h"
#include "platform/RuntimeError.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QMetaProperty>
#include <optional>

namespace kelvane {

namespace {

QString interfaceOf(const QObject& object)
{
    const QMetaObject* meta = object.metaObject();
    const int index = meta->indexOfClassInfo("D-Bus Interface");
    return index < 0 ? QString() : QString::fromUtf8(meta->classInfo(index).value());
}

// The value as the type given, when it is a value of that type.
std::optional<QVariant> ofType(const QVariant& value, QMetaType type)
{
    if (value.metaType() == type)
        return value;
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const auto argument = value.value<QDBusArgument>();
    const char* signature = QDBusMetaType::typeToSignature(type);
    QVariant typed(type);
    if (!signature || argument.currentSignature() != QLatin1StringView(signature)
        || !QDBusMetaType::demarshall(argument, type, typed.data()))
        return std::nullopt;
    return typed;
}

} // namespace

BusProperties::BusProperties(QObject& object, BusClients& clients, QDBusConnection connection)
    : QDBusAbstractAdaptor(&object)
    , m_object(object)
    , m_clients(clients)
    , m_connection(std::move(connection))
{
}

void BusProperties::answerError(const QDBusMessage& call, const QString& name, const QString& text)
{
    call.setDelayedReply(true);
    m_connection.send(call.createErrorReply(name, text));
}

bool BusProperties::knowsInterface(const QString& interfaceName, const QDBusMessage& call)
{
    if (interfaceName.isEmpty() || interfaceName == interfaceOf(m_object))
        return true;
    answerError(call, QDBusError::errorString(QDBusError::UnknownInterface),
                QStringLiteral("Interface %1 was not found in object %2").arg(interfaceName, call.path()));
    return false;
}

int BusProperties::propertyIndex(const QString& interfaceName, const QString& propertyName, const QDBusMessage& call)
{
    m_clients.note(call);
    if (!knowsInterface(interfaceName, call))
        return -1;
    const QMetaObject* meta = m_object.metaObject();
    const int index = meta->indexOfProperty(propertyName.toUtf8().constData());
    if (index < QObject::staticMetaObject.propertyCount()) {
        answerError(call, QDBusError::errorString(QDBusError::UnknownProperty),
                    QStringLiteral("Property %1 was not found in object %2").arg(propertyName, call.path()));
        return -1;
    }
    return index;
}

QDBusVariant BusProperties::Get(const QString& interfaceName, const QString& propertyName, const QDBusMessage& call)
{
    const int index = propertyIndex(interfaceName, propertyName, call);
    if (index < 0)
        return {};
    return QDBusVariant(m_object.metaObject()->property(index).read(&m_object));
}

void BusProperties::Set(const QString& interfaceName, const QString& propertyName, const QDBusVariant& value,
                        const QDBusMessage& call)
{
    const int index = propertyIndex(interfaceName, propertyName, call);
    if (index < 0)
        return;
    const QMetaProperty property = m_object.metaObject()->property(index);
    if (!property.isWritable()) {
        answerError(call, QDBusError::errorString(QDBusError::PropertyReadOnly),
                    QStringLiteral("Property %1 is read-only").arg(propertyName));
        return;
    }
    const auto typed = ofType(value.variant(), property.metaType());
    if (!typed || !property.write(&m_object, *typed))
        answerError(call, dbusnames::kFailedError, err::describe(err::TypeMismatch));
}

QVariantMap BusProperties::GetAll(const QString& interfaceName, const QDBusMessage& call)
{
    m_clients.note(call);
    QVariantMap values;
    if (!knowsInterface(interfaceName, call))
        return values;
    const QMetaObject* meta = m_object.metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (property.isReadable() && QDBusMetaType::typeToSignature(property.metaType()))
            values.insert(QString::fromLatin1(property.name()), property.read(&m_object));
    }
    return values;
}

} // namespace kelvane
