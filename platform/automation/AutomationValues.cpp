#include "platform/automation/AutomationValues.h"

#include "platform/Conversions.h"
#include "platform/RuntimeError.h"
#include "platform/automation/DispatchObject.h"

#include <cfloat>
#include <cmath>

namespace platform::automation {

namespace {

QMetaType variantType() { return QMetaType::fromType<kelvane::Variant>(); }
QMetaType objectType() { return QMetaType::fromType<DispatchObject>(); }

float toSingle(double value)
{
    if (std::isfinite(value) && std::fabs(value) > double(FLT_MAX))
        kelvane::raiseError(kelvane::err::Overflow);
    return static_cast<float>(value);
}

} // namespace

bool canCross(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Void:
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Float:
    case QMetaType::Double:
    case QMetaType::QString: return true;
    default: return type == variantType() || type == objectType();
    }
}

QMetaType parameterType(const QMetaMethod& method, int index)
{
    const QMetaType known = method.parameterMetaType(index);
    if (known.isValid())
        return known;
    QByteArray name = method.parameterTypes().at(index);
    if (name.endsWith('&'))
        name.chop(1);
    for (const QMetaType own : {variantType(), objectType()}) {
        if (name == own.name())
            return own;
    }
    return QMetaType::fromName(name);
}

bool isByReference(const QMetaMethod& method, int index)
{
    const QByteArray name = method.parameterTypes().at(index);
    return name.endsWith('&') && !name.startsWith("const ");
}

QVariant toQt(const kelvane::Variant& value, QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Bool: return QVariant(value.toBool());
    case QMetaType::Short: return QVariant::fromValue(kelvane::conv::toInt16(value.toDouble()));
    case QMetaType::Int: return QVariant::fromValue(kelvane::conv::toInt32(value.toDouble()));
    case QMetaType::Float: return QVariant::fromValue(toSingle(value.toDouble()));
    case QMetaType::Double: return QVariant(value.toDouble());
    case QMetaType::QString: return QVariant(value.toString());
    default: break;
    }
    if (type == variantType())
        return QVariant::fromValue(value);
    if (type == objectType())
        return QVariant::fromValue(DispatchObject::fromVariant(value));
    kelvane::raiseError(kelvane::err::TypeMismatch);
}

kelvane::Variant fromQt(const QVariant& value)
{
    const QMetaType type = value.metaType();
    switch (type.id()) {
    case QMetaType::UnknownType:
    case QMetaType::Void: return {};
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Short: return value.value<qint16>();
    case QMetaType::Int: return value.value<qint32>();
    case QMetaType::Float: return static_cast<double>(value.value<float>());
    case QMetaType::Double: return value.toDouble();
    case QMetaType::QString: return value.toString();
    default: break;
    }
    if (type == variantType())
        return value.value<kelvane::Variant>();
    if (type == objectType())
        return value.value<DispatchObject>().toVariant();
    kelvane::raiseError(kelvane::err::TypeMismatch);
}

} // namespace platform::automation
