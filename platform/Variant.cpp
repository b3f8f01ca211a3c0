#include "platform/Variant.h"

#include "platform/Conversions.h"
#include "platform/RuntimeError.h"

namespace kelvane {

bool Variant::isNumeric() const
{
    switch (type()) {
    case Type::Boolean:
    case Type::Integer:
    case Type::Long:
    case Type::Double:
        return true;
    default:
        return false;
    }
}

QString Variant::toString() const
{
    switch (type()) {
    case Type::Empty: return {};
    case Type::Boolean: return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer: return QString::number(std::get<qint16>(m_value));
    case Type::Long: return QString::number(std::get<qint32>(m_value));
    case Type::Double: return conv::numberText(std::get<double>(m_value));
    case Type::String: return std::get<QString>(m_value);
    case Type::Object: break;
    }
    raiseError(err::TypeMismatch);
}

double Variant::toDouble() const
{
    switch (type()) {
    case Type::Empty: return 0.0;
    case Type::Boolean: return std::get<bool>(m_value) ? -1.0 : 0.0;
    case Type::Integer: return std::get<qint16>(m_value);
    case Type::Long: return std::get<qint32>(m_value);
    case Type::Double: return std::get<double>(m_value);
    case Type::String: return conv::toDouble(std::get<QString>(m_value));
    case Type::Object: break;
    }
    raiseError(err::TypeMismatch);
}

bool Variant::toBool() const
{
    if (type() == Type::String)
        return conv::toBoolean(std::get<QString>(m_value));
    return toDouble() != 0.0;
}

int Variant::compare(const Variant& a, const Variant& b)
{
    if (a.isObject() || b.isObject())
        raiseError(err::TypeMismatch);
    const auto numericText = [](const Variant& v) {
        if (v.type() != Type::String)
            return false;
        try {
            conv::toDouble(std::get<QString>(v.m_value));
            return true;
        } catch (const RuntimeError&) {
            return false;
        }
    };
    const bool aNumber = a.isNumeric() || a.isEmpty() || (b.isNumeric() && numericText(a));
    const bool bNumber = b.isNumeric() || b.isEmpty() || (a.isNumeric() && numericText(b));
    if (aNumber && bNumber && !(a.type() == Type::String && b.type() == Type::String)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const int c = a.toString().compare(b.toString(), Qt::CaseSensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool Variant::operator==(const Variant& other) const
{
    if (isObject() || other.isObject()) {
        const auto* x = std::get_if<ObjectRef>(&m_value);
        const auto* y = std::get_if<ObjectRef>(&other.m_value);
        return x && y && x->pointer == y->pointer;
    }
    return type() == other.type() ? compare(*this, other) == 0 : false;
}

} // namespace kelvane
