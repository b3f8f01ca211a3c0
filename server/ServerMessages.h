#pragma once

#include <QString>

namespace kelvane::server {

// What the user is told when the knowledge server cannot be reached, does not answer in
// time, refuses the log-on, presents a certificate that is not trusted or sends a reply too
// large to take.
inline const QString kCannotConnect = QStringLiteral("Cannot connect to server");

// Tells the user so (exclamation icon), with the reason on the next line when there is one.
void TellCannotConnect(const QString& reason = {});

} // namespace kelvane::server
