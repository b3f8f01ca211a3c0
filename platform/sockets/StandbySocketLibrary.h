#pragma once

#include "platform/sockets/SocketLibrary.h"

namespace platform::sockets {

// The routines that answer while no socket library is loaded: every call fails without
// touching the network; start-up answers SystemNotReady (10091) and the last error is always
// NotInitialised (10093).
class StandbySocketLibrary : public SocketLibrary {
public:
    QString fileName() const override { return {}; }
    int startup(quint16, StartupRecord&) override;
    int cleanup() override { return SocketError; }
    SocketHandle socket() override { return InvalidSocket; }
    int bind(SocketHandle, const SocketAddress&) override { return SocketError; }
    int listen(SocketHandle, int) override { return SocketError; }
    SocketHandle accept(SocketHandle, SocketAddress*) override { return InvalidSocket; }
    int connect(SocketHandle, const SocketAddress&) override { return SocketError; }
    int send(SocketHandle, const char*, int, int) override { return SocketError; }
    int recv(SocketHandle, char*, int) override { return SocketError; }
    int shutdown(SocketHandle, ShutdownDirection) override { return SocketError; }
    int closesocket(SocketHandle) override { return SocketError; }
    int setOption(SocketHandle, SocketOption, int) override { return SocketError; }
    int setLinger(SocketHandle, bool, int) override { return SocketError; }
    int localAddress(SocketHandle, SocketAddress&) override { return SocketError; }
    int peerAddress(SocketHandle, SocketAddress&) override { return SocketError; }
    int asyncSelect(SocketHandle, WindowHandle, quint32, int) override { return SocketError; }
    std::optional<quint32> parseAddress(const QString&) override { return std::nullopt; }
    QString addressText(quint32) override { return {}; }
    std::optional<quint32> resolveHost(const QString&) override { return std::nullopt; }
    std::optional<QString> hostName() override { return std::nullopt; }
    int lastError() const override;
    void setLastError(int) override {}
};

} // namespace platform::sockets
