#pragma once

#include <QString>

namespace kelvane::server {

// What the user is told when the knowledge server cannot be reached, does not answer in
// time, refuses the log-on or presents a certificate that is not trusted.
inline const QString kCannotConnect = QStringLiteral("Cannot connect to server");

// Tells the user so (exclamation icon).
void TellCannotConnect();

} // namespace kelvane::server
