#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kelvane::server {

// The certificates a TLS server sends after its own, in DER, as a short handshake of our own
// receives them (nothing is sent over it); none when the server cannot be reached or does not
// complete the handshake within `timeoutMs`. The HTTPS control hands its host the server's
// certificate alone, and a server certified through an intermediate authority can only be
// linked to the authority the user trusts with the intermediates it sends. They are never
// trusted by themselves.
QList<QByteArray> PresentedIntermediates(const QString& host, quint16 port, int timeoutMs);

} // namespace kelvane::server
