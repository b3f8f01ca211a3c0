#pragma once

#include "platform/sockets/WindowMessage.h"

#include <QString>
#include <optional>

namespace platform::sockets {

// A socket of a SocketLibrary. Handles are never reused while the library lives, so a
// notification still queued for a closed socket cannot reach a newer one.
using SocketHandle = qintptr;
inline constexpr SocketHandle InvalidSocket = -1;
// What a failing call answers; lastError() then tells why.
inline constexpr int SocketError = -1;

// An IPv4 address as a number in host order (127.0.0.1 is 0x7F000001) and a port.
struct SocketAddress {
    quint32 address = 0;
    quint16 port = 0;
    bool operator==(const SocketAddress&) const = default;
};

// Events of an asynchronous selection. A notification carries the socket in wParam and, in
// lParam, the event in the low word and its error number (0 or a socket error) in the high word.
namespace event {
inline constexpr int Read = 1;
inline constexpr int Write = 2;
inline constexpr int OutOfBand = 4;
inline constexpr int Accept = 8;
inline constexpr int Connect = 16;
inline constexpr int Close = 32;
} // namespace event

constexpr qintptr notificationParameter(int event, int error) { return (qintptr(error & 0xFFFF) << 16) | (event & 0xFFFF); }
constexpr int notificationEvent(qintptr lParam) { return int(lParam & 0xFFFF); }
constexpr int notificationError(qintptr lParam) { return int((lParam >> 16) & 0xFFFF); }

enum class SocketOption { KeepAlive, ReceiveBufferSize, SendBufferSize, OutOfBandInline };
enum class ShutdownDirection { Receive = 0, Send = 1, Both = 2 };
// Flags of send.
inline constexpr int SendOutOfBand = 1;

// What the start-up call tells about the socket layer. Versions hold the major number in
// the low byte and the minor one in the high byte (1.1 is 0x0101).
struct StartupRecord {
    quint16 version = 0;
    quint16 highVersion = 0;
    QString description;
    QString systemStatus;
    quint16 maxSockets = 0;
    quint16 maxDatagramSize = 0;
};

// The socket calls of the old socket layer that the transfer controls make, for TCP over IPv4.
// Every socket is non-blocking: a call that would wait fails with WouldBlock (10035) instead.
// Readiness is reported as notifications posted to a hidden window (asyncSelect), through the
// thread's message queue, with the old re-enabling rules: after a Read notification the next
// comes only once recv was called, after Accept only once accept was called, Write comes after
// the connection is made and again only after a send could not take everything; a peer's close
// is reported once the data before it has been read. A connect always completes (or fails)
// through a Connect notification when the socket is selected for it.
// Calls answer SocketError / InvalidSocket / nothing on failure, with lastError() set; every
// call but startup fails with NotInitialised (10093) until startup succeeded.
class SocketLibrary {
public:
    virtual ~SocketLibrary() = default;

    // The library's full file name.
    virtual QString fileName() const = 0;

    // Start-up (requested version, as in StartupRecord) and clean-up, counted: calls work
    // while more start-ups than clean-ups were made. Both answer 0 or a socket error.
    virtual int startup(quint16 requestedVersion, StartupRecord& record) = 0;
    virtual int cleanup() = 0;

    virtual SocketHandle socket() = 0; // a TCP socket
    virtual int bind(SocketHandle s, const SocketAddress& local) = 0;
    virtual int listen(SocketHandle s, int backlog) = 0;
    virtual SocketHandle accept(SocketHandle s, SocketAddress* peer) = 0;
    // With the socket selected for Connect this answers SocketError with WouldBlock and the
    // outcome arrives as the Connect notification (error 0 or, e.g., ConnectionRefused).
    virtual int connect(SocketHandle s, const SocketAddress& remote) = 0;
    // The number of bytes taken (perhaps fewer than given), or SocketError.
    virtual int send(SocketHandle s, const char* data, int length, int flags = 0) = 0;
    // The number of bytes read, 0 when the peer closed the connection, or SocketError.
    virtual int recv(SocketHandle s, char* buffer, int length) = 0;
    virtual int shutdown(SocketHandle s, ShutdownDirection direction) = 0;
    virtual int closesocket(SocketHandle s) = 0;
    virtual int setOption(SocketHandle s, SocketOption option, int value) = 0;
    // Linger on with 0 seconds makes the close hard (a reset).
    virtual int setLinger(SocketHandle s, bool on, int seconds) = 0;
    virtual int localAddress(SocketHandle s, SocketAddress& address) = 0; // getsockname
    virtual int peerAddress(SocketHandle s, SocketAddress& address) = 0;  // getpeername

    // Posts `message` to the window for each selected event (a mask of `event` bits) with the
    // notification parameters above; events 0 cancels the selection.
    virtual int asyncSelect(SocketHandle s, WindowHandle window, quint32 message, int events) = 0;

    // A dotted address ("127.0.0.1") as a number; nothing when the text is no address (inet_addr).
    virtual std::optional<quint32> parseAddress(const QString& text) = 0;
    // The dotted form of an address; empty when the library cannot answer (inet_ntoa).
    virtual QString addressText(quint32 address) = 0;
    // The first IPv4 address of a host name or dotted address; nothing with lastError
    // HostNotFound, TryAgain, NoRecovery or NoData when there is none (gethostbyname).
    virtual std::optional<quint32> resolveHost(const QString& name) = 0;
    // This machine's host name (gethostname).
    virtual std::optional<QString> hostName() = 0;

    virtual int lastError() const = 0;
    virtual void setLastError(int code) = 0;
};

} // namespace platform::sockets
