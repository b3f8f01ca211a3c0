#pragma once

#include "ftp/ReceiveBuffer.h"
#include "platform/sockets/SocketLibrary.h"

#include <QByteArray>
#include <QString>

namespace kelvane::ftp {

class CWsockCtrl;

// One TCP connection of a socket control: its socket, remote address and port, the receive
// buffer cut into pieces, and the notifications it gives the layer above it (connected,
// disconnected, data in, error, ready to send). Its socket notifications arrive through the
// control's hidden window; the control routes them here by socket handle.
//
// Operations answer 0, a code of FtpCodes.h, or a socket error number; a failure's text (where
// it has one of its own) is left as the connection's message.
class CWsockConn {
public:
    explicit CWsockConn(CWsockCtrl& control, int bufferCapacity = ReceiveBuffer::DefaultCapacity);
    virtual ~CWsockConn();
    CWsockConn(const CWsockConn&) = delete;
    CWsockConn& operator=(const CWsockConn&) = delete;

    platform::sockets::SocketHandle socket() const { return m_socket; }
    // Connecting or connected.
    bool hasSocket() const { return m_socket != platform::sockets::InvalidSocket; }
    bool isConnected() const { return m_connected; }

    quint32 remoteAddress() const { return m_remoteAddress; }
    quint16 remotePort() const { return m_remotePort; }
    // Empty clears the address; a dotted address is taken as is; a name is resolved to its
    // first address. Refused while the connection has a socket. With no socket layer loaded
    // the address stays 0 without an error.
    int setRemoteHost(const QString& host);
    void setRemoteAddress(quint32 address) { m_remoteAddress = address; }
    int setRemotePort(quint16 port);
    // The dotted form of the remote address; empty for none.
    QString remoteHostText();
    // The local end's dotted address while connected; else this machine's name, or the socket
    // error text when that cannot be read.
    QString localHostText();

    // Starts connecting; the outcome arrives as the connected notification.
    int connect();
    // Closes the socket; the disconnected notification follows when it was connected.
    int disconnect(int code = 0);
    // Closes hard (a reset), without notifications, as a control does when it goes.
    void closeHard();
    // Takes an accepted socket as this connection's, connected.
    void adopt(platform::sockets::SocketHandle accepted);

    // Sends what the socket takes: 0 when it took everything, WouldBlock (10035) when it took
    // part or nothing (lastSent() tells how much), or the socket error.
    int send(const char* data, int length, int flags = 0);
    int lastSent() const { return m_lastSent; }

    bool receiving() const { return m_receiving; }
    // Turning receiving on delivers what is already buffered or waiting.
    void setReceiving(bool on);
    void setDelimiter(const QByteArray& delimiter, bool anyByte);

    // A socket notification of the hidden window for this connection's socket.
    void handleNotification(int event, int error);
    // Reads what waits, as a read notification would.
    int readNow();

    const QString& message() const { return m_message; }
    void setMessage(const QString& text) { m_message = text; }

    bool holdsSocketLayer = false;

protected:
    virtual void onConnected(int code) {}
    virtual void onDisconnected(int code) {}
    // A piece of the received bytes; `complete` when a delimiter ended it. The view lasts
    // until the call returns.
    virtual void onData(QByteArrayView piece, bool complete) {}
    virtual void onError(int code, const QString& text) {}
    virtual void onReadyToSend() {}

    CWsockCtrl& control() const { return m_control; }
    platform::sockets::SocketLibrary& api() const;

private:
    enum class ReadMode { Normal, Drain, Final };

    int read(ReadMode mode);
    // Hands over the pieces ready while receiving is on; false when receiving went off.
    bool deliverPieces();
    void deliverRest();
    int fail(int socketCall);
    void reset();

    CWsockCtrl& m_control;
    platform::sockets::SocketHandle m_socket = platform::sockets::InvalidSocket;
    quint32 m_remoteAddress = 0;
    quint16 m_remotePort = 0;
    ReceiveBuffer m_buffer;
    bool m_connected = false;
    bool m_receiving = true;
    bool m_insideRead = false;
    bool m_closePending = false;
    int m_pendingCloseCode = 0;
    int m_lastSent = 0;
    QString m_message;
};

} // namespace kelvane::ftp
