#pragma once

#include "platform/Variant.h"

#include <QByteArray>
#include <QList>

namespace kelvane::plexant {

// A one-dimensional array as a Variant carries it to automation callers: its elements, each
// a Variant. A byte element is a whole number from 0 to 255.
struct VariantArray {
    int dimensions = 1;
    QList<kelvane::Variant> elements;
};

// Bytes as an array of byte elements; Empty for no bytes.
kelvane::Variant byteArrayVariant(const QByteArray& bytes);
// The bytes of a one-dimensional array of bytes; nothing for any other value.
std::optional<QByteArray> bytesOfArray(const kelvane::Variant& value);

} // namespace kelvane::plexant
