#pragma once

#include <QString>

namespace kelvane::server {

inline const QString kCRLF = QStringLiteral("\r\n");

// A value as it goes into a request: "&" first, then "<" and ">" as entities, so no value
// can end or open an element of the message.
QString escapeValue(const QString& text);

} // namespace kelvane::server
