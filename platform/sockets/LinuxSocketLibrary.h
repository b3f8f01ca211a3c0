#pragma once

#include "platform/sockets/SocketLibrary.h"

#include <map>
#include <memory>

namespace platform::sockets {

// The socket library on Linux: non-blocking TCP sockets over IPv4, whose readiness
// (QSocketNotifier, on the thread that selected them) becomes notifications posted to the
// selecting window's message queue. Sockets still open when the library goes are closed.
class LinuxSocketLibrary : public SocketLibrary {
public:
    LinuxSocketLibrary();
    ~LinuxSocketLibrary() override;
    LinuxSocketLibrary(const LinuxSocketLibrary&) = delete;
    LinuxSocketLibrary& operator=(const LinuxSocketLibrary&) = delete;

    QString fileName() const override;
    int startup(quint16 requestedVersion, StartupRecord& record) override;
    int cleanup() override;
    SocketHandle socket() override;
    int bind(SocketHandle s, const SocketAddress& local) override;
    int listen(SocketHandle s, int backlog) override;
    SocketHandle accept(SocketHandle s, SocketAddress* peer) override;
    int connect(SocketHandle s, const SocketAddress& remote) override;
    int send(SocketHandle s, const char* data, int length, int flags = 0) override;
    int recv(SocketHandle s, char* buffer, int length) override;
    int shutdown(SocketHandle s, ShutdownDirection direction) override;
    int closesocket(SocketHandle s) override;
    int setOption(SocketHandle s, SocketOption option, int value) override;
    int setLinger(SocketHandle s, bool on, int seconds) override;
    int localAddress(SocketHandle s, SocketAddress& address) override;
    int peerAddress(SocketHandle s, SocketAddress& address) override;
    int asyncSelect(SocketHandle s, WindowHandle window, quint32 message, int events) override;
    std::optional<quint32> parseAddress(const QString& text) override;
    QString addressText(quint32 address) override;
    std::optional<quint32> resolveHost(const QString& name) override;
    std::optional<QString> hostName() override;
    int lastError() const override { return m_lastError; }
    void setLastError(int code) override { m_lastError = code; }

    // The socket error number of a system error number (errno).
    static int errorOfErrno(int errnoValue);

protected:
    // For calls other than startup: false (with NotInitialised) until startup succeeded.
    bool started();
    // Records the failure and answers SocketError.
    int fail(int code);

private:
    struct Socket;

    Socket* find(SocketHandle s);
    SocketHandle adopt(int descriptor);
    void updateNotifiers(SocketHandle s);
    void onReadable(SocketHandle s);
    void onWritable(SocketHandle s);
    void notify(const Socket& socket, SocketHandle s, int event, int error);

    std::map<SocketHandle, std::unique_ptr<Socket>> m_sockets;
    SocketHandle m_lastHandle = 0x100;
    int m_startups = 0;
    int m_lastError = 0;
};

} // namespace platform::sockets
