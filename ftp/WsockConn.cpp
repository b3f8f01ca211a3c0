#include "ftp/WsockConn.h"

#include "ftp/FtpCodes.h"
#include "ftp/WsockCtrl.h"
#include "platform/sockets/SocketErrors.h"

namespace kelvane::ftp {

using namespace platform::sockets;

namespace {
constexpr int kSelectedEvents = event::Read | event::Write | event::Connect | event::Close;
} // namespace

CWsockConn::CWsockConn(CWsockCtrl& control, int bufferCapacity) : m_control(control), m_buffer(bufferCapacity) {}

CWsockConn::~CWsockConn()
{
    closeHard();
    if (holdsSocketLayer)
        CWsockCtrl::socketLayer().unload();
}

SocketLibrary& CWsockConn::api() const { return CWsockCtrl::socketLayer().api(); }

int CWsockConn::setRemoteHost(const QString& host)
{
    m_message.clear();
    if (hasSocket()) {
        m_message = text::RemoteHostBusy;
        return code::RemoteHostBusy;
    }
    if (host.isEmpty()) {
        m_remoteAddress = 0;
        return 0;
    }
    if (const auto dotted = api().parseAddress(host)) {
        m_remoteAddress = *dotted;
        return 0;
    }
    const auto resolved = api().resolveHost(host);
    if (!resolved) {
        const int failure = api().lastError();
        // Without the socket layer the name is simply not known yet.
        return failure == error::NotInitialised ? 0 : failure;
    }
    m_remoteAddress = *resolved;
    return 0;
}

int CWsockConn::setRemotePort(quint16 port)
{
    m_message.clear();
    if (hasSocket()) {
        m_message = text::RemotePortBusy;
        return code::RemotePortBusy;
    }
    m_remotePort = port;
    return 0;
}

QString CWsockConn::remoteHostText()
{
    if (m_remoteAddress == 0)
        return {};
    // Formatted here: the address stays readable while the socket layer is not loaded.
    return QStringLiteral("%1.%2.%3.%4")
        .arg(m_remoteAddress >> 24)
        .arg((m_remoteAddress >> 16) & 0xFF)
        .arg((m_remoteAddress >> 8) & 0xFF)
        .arg(m_remoteAddress & 0xFF);
}

QString CWsockConn::localHostText()
{
    SocketAddress local;
    if (m_connected && api().localAddress(m_socket, local) == 0)
        return api().addressText(local.address);
    if (const auto name = api().hostName())
        return name->left(100);
    return socketErrorSentence(api().lastError());
}

int CWsockConn::fail(int socketCall)
{
    const int failure = api().lastError();
    api().closesocket(m_socket);
    reset();
    return failure != 0 ? failure : socketCall;
}

int CWsockConn::connect()
{
    m_message.clear();
    if (hasSocket()) {
        m_message = text::AlreadyConnected;
        return code::AlreadyConnected;
    }
    m_buffer.clear();
    m_closePending = false;
    if (m_remoteAddress == 0) {
        m_message = text::InvalidAddress;
        return code::InvalidAddress;
    }
    if (m_remotePort == 0) {
        m_message = text::ZeroPort;
        return code::ZeroPort;
    }
    m_connected = false;
    m_socket = api().socket();
    if (m_socket == InvalidSocket) {
        const int failure = api().lastError();
        reset();
        return failure;
    }
    if (api().bind(m_socket, SocketAddress {0, 0}) != 0)
        return fail(error::InvalidArgument);
    // Keep-alive off, an ordinary close, urgent bytes in line; refusals of these do not stop
    // the connection. The system's socket buffers keep their own sizes: 2048-byte ones stall
    // every transfer on waits for delayed acknowledgements.
    api().setOption(m_socket, SocketOption::KeepAlive, 0);
    api().setLinger(m_socket, false, 0);
    api().setOption(m_socket, SocketOption::OutOfBandInline, 1);
    if (api().asyncSelect(m_socket, m_control.windowHandle(), CWsockCtrl::SocketMessage, kSelectedEvents) != 0)
        return fail(error::InvalidArgument);
    if (api().connect(m_socket, SocketAddress {m_remoteAddress, m_remotePort}) != 0
        && api().lastError() != error::WouldBlock)
        return fail(error::InvalidArgument);
    return 0;
}

void CWsockConn::adopt(SocketHandle accepted)
{
    m_buffer.clear();
    m_closePending = false;
    m_socket = accepted;
    m_connected = true;
}

void CWsockConn::reset()
{
    m_socket = InvalidSocket;
    m_connected = false;
    m_lastSent = 0;
    m_insideRead = false;
    m_receiving = true;
}

int CWsockConn::disconnect(int code)
{
    if (!hasSocket()) {
        reset();
        return 0;
    }
    api().asyncSelect(m_socket, 0, 0, 0);
    if (m_insideRead) {
        m_closePending = true;
        m_pendingCloseCode = code;
        return 0;
    }
    if (m_receiving)
        read(ReadMode::Drain);
    const bool wasConnected = m_connected;
    const int closed = api().closesocket(m_socket);
    const int failure = closed != 0 ? api().lastError() : 0;
    reset();
    if (closed == 0 || wasConnected)
        onDisconnected(code);
    return failure;
}

void CWsockConn::closeHard()
{
    if (!hasSocket())
        return;
    api().asyncSelect(m_socket, 0, 0, 0);
    api().setLinger(m_socket, true, 0);
    api().closesocket(m_socket);
    m_buffer.clear();
    reset();
}

int CWsockConn::send(const char* data, int length, int flags)
{
    m_lastSent = 0;
    if (!m_connected) {
        api().setLastError(error::NotConnected);
        return error::NotConnected;
    }
    const int sent = api().send(m_socket, data, length, flags);
    if (sent == SocketError)
        return api().lastError();
    m_lastSent = sent;
    if (sent > 0)
        m_control.noteProgress();
    return sent < length ? error::WouldBlock : 0;
}

void CWsockConn::setReceiving(bool on)
{
    m_receiving = on;
    // What is buffered or waiting is delivered at once.
    if (on && m_connected)
        MessageQueue::current().post(WindowMessage {m_control.windowHandle(), CWsockCtrl::SocketMessage,
                                                    static_cast<quintptr>(m_socket),
                                                    notificationParameter(event::Read, 0)});
}

void CWsockConn::setDelimiter(const QByteArray& delimiter, bool anyByte) { m_buffer.setDelimiter(delimiter, anyByte); }

void CWsockConn::handleNotification(int event, int error)
{
    switch (event) {
    case event::Read:
        if (m_receiving && !m_insideRead)
            readNow();
        break;
    case event::Write:
        onReadyToSend();
        break;
    case event::Connect:
        if (error == 0) {
            m_connected = true;
            m_control.noteProgress();
            api().setOption(m_socket, SocketOption::OutOfBandInline, 1);
            onConnected(0);
        } else {
            m_connected = false;
            onConnected(error);
            if (hasSocket()) {
                api().asyncSelect(m_socket, 0, 0, 0);
                api().closesocket(m_socket);
                reset();
            }
        }
        break;
    case event::Close:
        if (!m_insideRead)
            read(ReadMode::Final);
        disconnect(error);
        break;
    default:
        break;
    }
}

int CWsockConn::readNow()
{
    if (m_insideRead)
        return 0;
    return read(ReadMode::Normal);
}

bool CWsockConn::deliverPieces()
{
    QByteArrayView piece;
    bool complete = false;
    while (m_receiving && hasSocket()) {
        if (!m_buffer.takeNext(piece, complete))
            return true;
        onData(piece, complete);
    }
    return false;
}

void CWsockConn::deliverRest()
{
    if (!deliverPieces())
        return;
    QByteArrayView piece;
    if (m_buffer.takeRest(piece))
        onData(piece, false);
}

int CWsockConn::read(ReadMode mode)
{
    if (!hasSocket() || !m_receiving)
        return 0;
    m_insideRead = true;
    int result = 0;
    bool peerClosed = false;
    for (;;) {
        if (!deliverPieces() || !hasSocket())
            break;
        if (m_closePending && mode == ReadMode::Normal)
            break;
        // A host that stopped waiting (from an event of this read) takes no more bytes.
        if (m_control.interruptRequested())
            break;
        int space = 0;
        char* into = m_buffer.freeSpace(space);
        const int received = api().recv(m_socket, into, space);
        if (received > 0) {
            m_buffer.commit(received);
            m_control.noteProgress();
        }
        if (received == 0 || (received > 0 && mode != ReadMode::Normal)) {
            deliverRest();
            if (received == 0) {
                peerClosed = true;
                break;
            }
            if (mode == ReadMode::Drain)
                break;
            continue;
        }
        if (received > 0)
            continue;
        const int failure = api().lastError();
        if (failure != error::WouldBlock && failure != error::NotSocket) {
            onError(failure, QStringLiteral("Winsock error in recv()"));
            result = failure;
        } else if (failure == error::NotSocket) {
            result = failure;
        }
        break;
    }
    m_insideRead = false;
    if (m_closePending || (peerClosed && mode == ReadMode::Normal)) {
        const int closeCode = m_closePending ? m_pendingCloseCode : 0;
        m_closePending = false;
        if (hasSocket())
            disconnect(closeCode);
    }
    return result;
}

} // namespace kelvane::ftp
