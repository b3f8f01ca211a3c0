#pragma once

#include <QString>
#include <memory>
#include <typeinfo>
#include <variant>

namespace kelvane {

// A value of any type, as a property holds it: nothing, a Boolean, a 16- or 32-bit whole
// number, a double, a text, or a shared reference to an object.
class Variant {
public:
    enum class Type { Empty, Boolean, Integer, Long, Double, String, Object };

    Variant() = default;
    Variant(bool value) : m_value(value) {}
    Variant(qint16 value) : m_value(value) {}
    Variant(qint32 value) : m_value(value) {}
    Variant(double value) : m_value(value) {}
    Variant(const QString& value) : m_value(value) {}
    Variant(const char16_t* value) : m_value(QString::fromUtf16(value)) {}
    Variant(const char*) = delete; // would silently become a Boolean

    // A reference to an object; the object is shared, not copied.
    template <class T>
    static Variant fromObject(std::shared_ptr<T> object)
    {
        Variant v;
        v.m_value = ObjectRef {std::static_pointer_cast<void>(object), &typeid(T)};
        return v;
    }

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isObject() const { return type() == Type::Object; }
    bool isNumeric() const;

    // The object held, when it is of type T; null otherwise.
    template <class T>
    std::shared_ptr<T> object() const
    {
        const auto* ref = std::get_if<ObjectRef>(&m_value);
        if (!ref || *ref->type != typeid(T))
            return nullptr;
        return std::static_pointer_cast<T>(ref->pointer);
    }

    // Conversions as the old runtime made them; a text that is not a number, or an
    // object, raises TypeMismatch (13).
    QString toString() const;
    double toDouble() const;
    bool toBool() const;

    // Numbers compare numerically, texts by character code; a number and a text compare
    // as numbers when the text is numeric, else as texts. Objects cannot be compared (13).
    static int compare(const Variant& a, const Variant& b);

    bool operator==(const Variant& other) const;

private:
    struct ObjectRef {
        std::shared_ptr<void> pointer;
        const std::type_info* type = nullptr;
    };
    std::variant<std::monostate, bool, qint16, qint32, double, QString, ObjectRef> m_value;
};

} // namespace kelvane
