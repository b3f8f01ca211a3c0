#pragma once

#include <QByteArray>

namespace kelvane::plexant {

// What a layer of the engine stack tells the layer above it: the socket engine its firewall
// negotiator, the negotiator the TLS layer, the TLS layer the HTTP engine. Codes are the
// engine's result codes (0 = success); texts are bytes in the ANSI code page.
class ConnectionEvents {
public:
    virtual ~ConnectionEvents() = default;
    virtual void onConnected(int code) = 0;
    virtual void onDisconnected(int code) = 0;
    // A received piece; `complete` when its delimiter followed it.
    virtual void onDataIn(const QByteArray& piece, bool complete) = 0;
    virtual void onError(int code, const QByteArray& text) = 0;
    virtual void onReadyToSend() = 0;
};

} // namespace kelvane::plexant
