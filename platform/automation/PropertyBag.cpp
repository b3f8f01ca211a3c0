#include "platform/automation/PropertyBag.h"

#include "platform/Conversions.h"
#include "platform/RuntimeError.h"
#include "platform/automation/DispatchObject.h"

namespace platform::automation {

using kelvane::Variant;

namespace {

QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'"': out += QStringLiteral("\\\""); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString literal(const Variant& value)
{
    switch (value.type()) {
    case Variant::Type::Boolean: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case Variant::Type::Integer: return value.toString() + u'%';
    case Variant::Type::Long: return value.toString() + u'&';
    case Variant::Type::Double: return kelvane::conv::numberText(kelvane::conv::checkFinite(value.toDouble())) + u'#';
    case Variant::Type::String: return quoted(value.toString());
    case Variant::Type::Empty:
    case Variant::Type::Object: break;
    }
    kelvane::raiseError(kelvane::err::TypeMismatch);
}

std::optional<QString> unquoted(const QString& text)
{
    if (text.size() < 2 || !text.startsWith(u'"') || !text.endsWith(u'"'))
        return std::nullopt;
    QString out;
    for (qsizetype i = 1; i < text.size() - 1; ++i) {
        const QChar c = text.at(i);
        if (c == u'"')
            return std::nullopt;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++i >= text.size() - 1)
            return std::nullopt;
        switch (text.at(i).unicode()) {
        case u'\\': out += u'\\'; break;
        case u'"': out += u'"'; break;
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'u': {
            bool ok = false;
            const ushort code = text.mid(i + 1, 4).toUShort(&ok, 16);
            if (!ok || i + 4 > text.size() - 2)
                return std::nullopt;
            out += QChar(code);
            i += 4;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<Variant> parsedLiteral(const QString& text)
{
    if (text == QStringLiteral("True"))
        return Variant(true);
    if (text == QStringLiteral("False"))
        return Variant(false);
    if (text.startsWith(u'"')) {
        const auto value = unquoted(text);
        return value ? std::optional<Variant>(Variant(*value)) : std::nullopt;
    }
    if (text.size() < 2)
        return std::nullopt;
    const QStringView number = QStringView(text).chopped(1);
    bool ok = false;
    switch (text.back().unicode()) {
    case u'%': {
        const qint16 v = number.toShort(&ok);
        return ok ? std::optional<Variant>(Variant(v)) : std::nullopt;
    }
    case u'&': {
        const qint32 v = number.toInt(&ok);
        return ok ? std::optional<Variant>(Variant(v)) : std::nullopt;
    }
    case u'#': {
        const double v = number.toDouble(&ok);
        return ok ? std::optional<Variant>(Variant(v)) : std::nullopt;
    }
    default: return std::nullopt;
    }
}

// Equal as a saved value: numbers of any width by value, other values of the same type.
bool sameValue(const Variant& a, const Variant& b)
{
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() && b.isEmpty();
    const bool comparable = (a.isNumeric() && b.isNumeric()) || (a.type() == b.type() && !a.isObject());
    return comparable && Variant::compare(a, b) == 0;
}

} // namespace

qsizetype PropertyBag::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        if (m_values.at(i).first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Variant PropertyBag::read(const QString& name, const Variant& defaultValue) const
{
    const qsizetype i = indexOf(name);
    return i < 0 ? defaultValue : m_values.at(i).second;
}

void PropertyBag::write(const QString& name, const Variant& value, const Variant& defaultValue)
{
    if (value.isObject())
        kelvane::raiseError(kelvane::err::TypeMismatch);
    const qsizetype i = indexOf(name);
    if (value.isEmpty() || sameValue(value, defaultValue)) {
        if (i >= 0)
            m_values.removeAt(i);
    } else if (i >= 0) {
        m_values[i].second = value;
    } else {
        m_values.append({name, value});
    }
}

bool PropertyBag::contains(const QString& name) const { return indexOf(name) >= 0; }

QStringList PropertyBag::names() const
{
    QStringList all;
    for (const auto& [name, value] : m_values)
        all.append(name);
    return all;
}

QString PropertyBag::toText() const
{
    QString text;
    for (const auto& [name, value] : m_values)
        text += name + QStringLiteral(" = ") + literal(value) + u'\n';
    return text;
}

PropertyBag PropertyBag::fromText(const QString& text)
{
    PropertyBag bag;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).endsWith(u'\r') ? lines.at(n).chopped(1) : lines.at(n);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QString name = line.left(equals).trimmed();
        const auto value = equals > 0 ? parsedLiteral(line.mid(equals + 1).trimmed()) : std::nullopt;
        if (name.isEmpty() || !value)
            kelvane::raiseError(kelvane::err::InvalidFileFormat,
                                QStringLiteral("Saved properties, line %1: %2").arg(n + 1).arg(line));
        bag.write(name, *value);
    }
    return bag;
}

void PropertyBag::saveFrom(const DispatchObject& object, const QList<PersistedProperty>& properties)
{
    for (const PersistedProperty& property : properties)
        write(property.name, object.get(property.name), property.defaultValue);
}

void PropertyBag::loadInto(const DispatchObject& object, const QList<PersistedProperty>& properties) const
{
    for (const PersistedProperty& property : properties) {
        const Variant value = read(property.name, property.defaultValue);
        if (!value.isEmpty())
            object.put(property.name, value);
    }
}

} // namespace platform::automation
