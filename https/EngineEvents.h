#pragma once

#include <QByteArray>

namespace kelvane::plexant {

// The engine's event operations, which the control turns into its events. Direction 0 is
// the request body, 1 the response. Texts are bytes in the ANSI code page.
class EngineEvents {
public:
    virtual ~EngineEvents() = default;
    virtual void connected(int code, const QByteArray& text) = 0;
    virtual void disconnected(int code, const QByteArray& text) = 0;
    virtual void error(int code, const QByteArray& text) = 0;
    virtual void header(const QByteArray& field, const QByteArray& value) = 0;
    virtual void setCookie(const QByteArray& name, const QByteArray& value, const QByteArray& expires,
                           const QByteArray& domain, const QByteArray& path, bool secure) = 0;
    virtual void startTransfer(int direction) = 0;
    virtual void transfer(int direction, qint64 bytesSoFar, const QByteArray& data) = 0;
    virtual void endTransfer(int direction) = 0;
    virtual void sslStatus(const QByteArray& message) = 0;
    // The server's certificate with the verdict of the check; what `accept` holds afterwards
    // decides whether the connection goes on.
    virtual void sslServerAuthentication(qint32 certificateHandle, const QByteArray& subject, const QByteArray& issuer,
                                         const QByteArray& status, bool& accept) = 0;
};

} // namespace kelvane::plexant
