#include "https/VariantArray.h"

#include "platform/RuntimeError.h"

#include <cmath>

namespace kelvane::plexant {

kelvane::Variant byteArrayVariant(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    auto array = std::make_shared<VariantArray>();
    array->elements.reserve(bytes.size());
    for (const char byte : bytes)
        array->elements.append(kelvane::Variant(qint16(static_cast<quint8>(byte))));
    return kelvane::Variant::fromObject(array);
}

std::optional<QByteArray> bytesOfArray(const kelvane::Variant& value)
{
    const auto array = value.object<VariantArray>();
    if (!array || array->dimensions != 1)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(array->elements.size());
    for (const kelvane::Variant& element : array->elements) {
        if (!element.isNumeric() && element.type() != kelvane::Variant::Type::String)
            return std::nullopt;
        double number = 0;
        try {
            number = element.toDouble();
        } catch (const kelvane::RuntimeError&) {
            return std::nullopt;
        }
        number = std::nearbyint(number);
        if (!(number >= 0 && number <= 255))
            return std::nullopt;
        bytes.append(char(quint8(number)));
    }
    return bytes;
}

} // namespace kelvane::plexant
