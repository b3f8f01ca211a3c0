#pragma once

#include "https/ConnectionEvents.h"
#include "https/FirewallNegotiator.h"
#include "https/ReceiveBuffer.h"
#include "platform/sockets/NotificationWindow.h"
#include "platform/sockets/SocketLayer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <functional>
#include <optional>

namespace kelvane::plexant {

// The bottom of a control's engine stack: one TCP connection over the process's socket
// library, whose notifications arrive at a hidden window through the thread's message
// queue, a receive buffer that cuts what arrives into pieces, and the wait pass that every
// blocking operation of the layers above is built on. The firewall negotiator sits between
// this engine and the layer above: it hears every notification first.
//
// Operations answer a result code (0 = success, else an engine code or a socket error) and
// leave the failure's text as the engine's message.
class SocketEngine {
public:
    static constexpr quint32 kSocketMessage = 1125;
    static constexpr int kMaxLibraryPath = 200;

    explicit SocketEngine(ConnectionEvents& upper);
    ~SocketEngine();
    SocketEngine(const SocketEngine&) = delete;
    SocketEngine& operator=(const SocketEngine&) = delete;

    // The socket library every control of the process shares.
    static platform::sockets::SocketLayer& socketLayer();
    static platform::sockets::SocketLibrary& api() { return socketLayer().api(); }

    // Whether this engine holds the socket library loaded; setting it loads or releases it.
    bool winsockLoaded() const { return m_holdsLibrary; }
    void setWinsockLoaded(bool loaded);

    FirewallNegotiator& firewall() { return m_firewall; }
    const FirewallNegotiator& firewall() const { return m_firewall; }

    // The host to reach: a dotted address or a name. While a firewall type is set only the
    // text is kept; the negotiation resolves it where its protocol needs to.
    int setRemoteHost(const QByteArray& host);
    const QByteArray& remoteHost() const { return m_remoteHost; }
    int setRemotePort(quint16 port);
    quint16 remotePort() const { return m_remotePort; }
    // Empty: any local address.
    int setLocalHost(const QByteArray& host);
    // The bound address while connected, else the one set, else this machine's name.
    QByteArray localHost() const;
    // A dotted address, else the first address of the name; 0 with success while the socket
    // library is not loaded.
    static int resolve(const QByteArray& host, quint32& address);

    int connect();
    // Closes the connection. Without a failure (code 0) what the peer still sent is read
    // first; a connection closed for a failure is not read any further.
    int disconnect(int code);
    // Puts received bytes back in front of the buffer, to be cut into pieces again.
    void unread(const QByteArray& bytes);
    // Sends what the socket takes now: `sent` bytes; a partial send answers WouldBlock.
    int send(const char* data, int length, int& sent);

    bool hasSocket() const { return m_socket != platform::sockets::InvalidSocket; }
    platform::sockets::SocketHandle socketHandle() const { return m_socket; }
    bool isConnected() const { return m_connected; }
    // Whether the peer closed (or broke) the connection now closing, rather than this side.
    bool closedByPeer() const { return m_closedByPeer; }

    // The delimiter that cuts received bytes into pieces (see ReceiveBuffer) and whether
    // pieces are handed up at all; both deliver what is buffered at once.
    void setDelimiter(const QByteArray& delimiter, bool anyByte = false);
    const QByteArray& delimiter() const { return m_buffer.delimiter(); }
    void setReceiving(bool on);
    bool receiving() const { return m_receiving; }

    // Seconds; 0 = none. Arming starts the clock of the running action.
    void setTimeout(int seconds) { m_timeoutMs = qint64(seconds) * 1000; }
    int timeout() const { return int(m_timeoutMs / 1000); }
    void armTimeout();
    void disarmTimeout() { m_deadlineClock.reset(); }
    bool deadlinePassed() const { return m_deadlineClock && m_deadlineClock->elapsed() > m_timeoutMs; }
    // Asks the running wait to stop; the next wait pass stops it.
    void requestInterrupt() { m_interruptRequested = true; }
    void clearInterrupt() { m_interruptRequested = false; }
    bool takeInterrupted();

    // One pass of the message loop: dispatches at most one message of the thread, waiting
    // up to `milliseconds` for one. False when the wait must stop: an interrupt, the
    // deadline, the host asking to quit (left in the queue for it), or the window closed.
    bool waitPass(int milliseconds);
    // Wait passes of `milliseconds` while `busy` holds: 0, or Interrupted when a pass stopped.
    int waitWhile(const std::function<bool()>& busy, int milliseconds = 10);

    const QByteArray& message() const { return m_message; }
    void setMessage(const QByteArray& text) { m_message = text; }
    void clearMessage() { m_message.clear(); }
    // Gives a failing code its text unless a message is already set; answers the code.
    int fail(int code);
    int fail(int code, const QByteArray& text);

    // Notifications the layers above give through this engine's window.
    platform::sockets::WindowHandle window() const { return m_window.handle(); }

private:
    enum class ReadMode { Normal, Drain, Final };

    void handleMessage(const platform::sockets::WindowMessage& message);
    void onSocketEvent(int event, int error);
    int read(ReadMode mode);
    void deliverPieces();
    void deliverRest();
    void closeQuietly();
    void resetConnection();
    void postRead() const;

    FirewallNegotiator m_firewall; // hears every notification first
    platform::sockets::NotificationWindow m_window;
    bool m_holdsLibrary = false;

    platform::sockets::SocketHandle m_socket = platform::sockets::InvalidSocket;
    QByteArray m_remoteHost;
    quint32 m_remoteAddress = 0;
    quint16 m_remotePort = 0;
    quint32 m_localAddress = 0;
    quint16 m_localPort = 0;

    // Options applied at connect. The socket buffers keep the system's sizes: buffers of
    // a few kilobytes would throttle every transfer.
    bool m_keepAlive = false;
    bool m_linger = true;

    ReceiveBuffer m_buffer;
    bool m_receiving = true;
    bool m_insideRead = false;
    bool m_closePending = false;
    int m_closeCode = 0;
    bool m_connected = false;
    bool m_closedByPeer = false;
    bool m_overflowReported = false;

    qint64 m_timeoutMs = 0;
    std::optional<QElapsedTimer> m_deadlineClock;
    bool m_interruptRequested = false;
    bool m_interrupted = false;

    QByteArray m_message;
};

} // namespace kelvane::plexant
