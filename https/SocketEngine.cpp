#include "https/SocketEngine.h"

#include "https/ResultCodes.h"
#include "platform/TextEncoding.h"
#include "platform/sockets/MessageQueue.h"
#include "platform/sockets/SocketErrors.h"

namespace kelvane::plexant {

using namespace platform::sockets;

namespace {
QByteArray ansi(const QString& text) { return platform::encoding::toAnsi(text); }
QString fromAnsi(const QByteArray& bytes) { return platform::encoding::fromAnsi(bytes); }
} // namespace

SocketEngine::SocketEngine(ConnectionEvents& upper)
    : m_firewall(*this, upper)
    , m_window([this](const WindowMessage& message) { handleMessage(message); })
{
    setWinsockLoaded(true);
}

SocketEngine::~SocketEngine()
{
    if (hasSocket())
        closeQuietly();
    setWinsockLoaded(false);
}

SocketLayer& SocketEngine::socketLayer()
{
    // One socket layer for the whole library, as the process once had one Winsock.
    static SocketLayer layer(kMaxLibraryPath);
    return layer;
}

void SocketEngine::setWinsockLoaded(bool loaded)
{
    if (loaded == m_holdsLibrary)
        return;
    if (loaded) {
        // A refused load leaves its reason as the library description.
        m_holdsLibrary = socketLayer().load();
        return;
    }
    socketLayer().unload();
    m_holdsLibrary = false;
}

int SocketEngine::resolve(const QByteArray& host, quint32& address)
{
    address = 0;
    const QString name = fromAnsi(host);
    if (const auto dotted = api().parseAddress(name)) {
        address = *dotted;
        return code::Ok;
    }
    if (const auto found = api().resolveHost(name)) {
        address = *found;
        return code::Ok;
    }
    const int error = api().lastError();
    return error == error::NotInitialised ? code::Ok : error;
}

int SocketEngine::setRemoteHost(const QByteArray& host)
{
    if (hasSocket())
        return fail(code::RemoteHostInUse,
                    "You cannot change the RemoteHost at this time. A connection is in progress.");
    m_remoteHost = host;
    m_remoteAddress = 0;
    if (host.isEmpty() || m_firewall.type() != FirewallNegotiator::None)
        return code::Ok;
    const int result = resolve(host, m_remoteAddress);
    return result == code::Ok ? result : fail(result);
}

int SocketEngine::setRemotePort(quint16 port)
{
    if (hasSocket())
        return fail(code::RemotePortInUse,
                    "You cannot change the RemotePort at this time. A connection is in progress.");
    m_remotePort = port;
    return code::Ok;
}

int SocketEngine::setLocalHost(const QByteArray& host)
{
    m_localAddress = 0;
    if (host.isEmpty())
        return code::Ok;
    const int result = resolve(host, m_localAddress);
    return result == code::Ok ? result : fail(result);
}

QByteArray SocketEngine::localHost() const
{
    if (m_connected) {
        SocketAddress bound;
        if (api().localAddress(m_socket, bound) == 0)
            return ansi(api().addressText(bound.address));
    }
    if (m_localAddress != 0)
        return ansi(api().addressText(m_localAddress));
    if (const auto name = api().hostName())
        return ansi(name->left(100));
    return ansi(describeSocketError(api().lastError()));
}

int SocketEngine::connect()
{
    clearMessage();
    if (hasSocket())
        return fail(code::AlreadyConnected,
                    "Already connected. If you want to reconnect, close the current connection first.");
    const bool viaFirewall = m_firewall.type() != FirewallNegotiator::None;
    const quint32 address = viaFirewall ? m_firewall.address() : m_remoteAddress;
    const quint16 port = viaFirewall ? m_firewall.port() : m_remotePort;
    if (address == 0)
        return fail(code::InvalidAddress, viaFirewall ? "The FirewallHost address is invalid (0.0.0.0)."
                                                      : "The RemoteHost address is invalid (0.0.0.0).");
    if (port == 0)
        return fail(code::ZeroPort, viaFirewall ? "The FirewallPort is invalid (0)."
                                                : "RemotePort can't be zero. Please specify a valid service port number.");

    m_socket = api().socket();
    if (!hasSocket())
        return fail(api().lastError());
    m_buffer.clear();
    m_closePending = false;
    m_closedByPeer = false;
    m_overflowReported = false;
    const bool prepared = api().bind(m_socket, {m_localAddress, m_localPort}) == 0
        && api().setOption(m_socket, SocketOption::KeepAlive, m_keepAlive ? 1 : 0) == 0
        && api().setLinger(m_socket, !m_linger, 0) == 0
        && api().setOption(m_socket, SocketOption::OutOfBandInline, 1) == 0
        && api().asyncSelect(m_socket, m_window.handle(), kSocketMessage,
                             event::Read | event::Write | event::Connect | event::Close)
            == 0;
    const bool started = prepared
        && (api().connect(m_socket, {address, port}) == 0 || api().lastError() == error::WouldBlock);
    if (!started) {
        const int error = api().lastError();
        closeQuietly();
        return fail(error);
    }
    return code::Ok;
}

int SocketEngine::send(const char* data, int length, int& sent)
{
    sent = 0;
    if (!hasSocket()) {
        api().setLastError(error::NotConnected);
        return fail(error::NotConnected);
    }
    const int taken = api().send(m_socket, data, length);
    if (taken == SocketError) {
        const int error = api().lastError();
        return error == error::WouldBlock ? error : fail(error);
    }
    sent = taken;
    if (taken < length)
        return error::WouldBlock;
    return code::Ok;
}

void SocketEngine::postRead() const
{
    if (m_receiving && hasSocket())
        m_window.post(kSocketMessage, static_cast<quintptr>(m_socket), notificationParameter(event::Read, 0));
}

void SocketEngine::setDelimiter(const QByteArray& delimiter, bool anyByte)
{
    m_buffer.setDelimiter(delimiter, anyByte);
    postRead();
}

void SocketEngine::setReceiving(bool on)
{
    m_receiving = on;
    postRead();
}

void SocketEngine::handleMessage(const WindowMessage& message)
{
    if (message.message != kSocketMessage || static_cast<SocketHandle>(message.wParam) != m_socket || !hasSocket()) {
        NotificationWindow::defaultProcedure(message);
        return;
    }
    onSocketEvent(notificationEvent(message.lParam), notificationError(message.lParam));
}

void SocketEngine::onSocketEvent(int socketEvent, int error)
{
    switch (socketEvent) {
    case event::Read:
        if (m_receiving && !m_insideRead) {
            m_insideRead = true;
            read(ReadMode::Normal);
            m_insideRead = false;
            // A close asked for while the read handed pieces up is finished now.
            if (m_closePending) {
                m_closePending = false;
                disconnect(m_closeCode);
            }
        }
        break;
    case event::Write:
        m_firewall.onReadyToSend();
        break;
    case event::Connect:
        if (error == 0) {
            m_connected = true;
            api().setOption(m_socket, SocketOption::OutOfBandInline, 1);
            m_firewall.onConnected(code::Ok);
        } else {
            m_connected = false;
            closeQuietly();
            m_firewall.onConnected(error);
        }
        break;
    case event::Close:
        m_closedByPeer = true;
        m_insideRead = true;
        read(ReadMode::Final);
        m_insideRead = false;
        if (m_closePending) {
            m_closePending = false;
            error = m_closeCode;
        }
        disconnect(error);
        break;
    default:
        break;
    }
}

void SocketEngine::unread(const QByteArray& bytes)
{
    if (!bytes.isEmpty())
        m_buffer.prepend(bytes);
}

void SocketEngine::deliverPieces()
{
    while (hasSocket() && m_receiving) {
        // A firewall's replies are not lines: the negotiator takes what arrives as it came.
        if (m_firewall.negotiating()) {
            if (m_buffer.isEmpty())
                return;
            m_firewall.onDataIn(m_buffer.takeRest(), false);
            continue;
        }
        auto piece = m_buffer.nextPiece();
        if (!piece)
            return;
        m_firewall.onDataIn(*piece, true);
    }
}

void SocketEngine::deliverRest()
{
    deliverPieces();
    if (hasSocket() && m_receiving && !m_buffer.isEmpty())
        m_firewall.onDataIn(m_buffer.takeRest(), false);
}

int SocketEngine::read(ReadMode mode)
{
    for (;;) {
        // The time allowed holds however fast the peer sends: past the deadline nothing
        // more is read, and the wait that runs the action stops.
        if (!hasSocket() || !m_receiving || m_interruptRequested || deadlinePassed())
            return code::Ok;
        deliverPieces();
        if (!hasSocket() || !m_receiving || m_closePending)
            return code::Ok;
        const int room = m_buffer.freeSpace();
        if (room == 0) {
            // A piece longer than the buffer may grow: the peer sends something else than
            // what this connection expects. Nothing more is read from it.
            const QByteArray text = "Received line is too long.";
            m_receiving = false;
            m_closePending = true;
            m_closeCode = error::NoBufferSpace;
            if (!m_overflowReported) {
                m_overflowReported = true;
                setMessage(text);
                m_firewall.onError(error::NoBufferSpace, text);
            }
            return error::NoBufferSpace;
        }
        const int count = api().recv(m_socket, m_buffer.reserve(room), room);
        m_buffer.commit(count);
        if (count == SocketError) {
            const int error = api().lastError();
            if (error == error::WouldBlock)
                return code::Ok;
            m_closedByPeer = true;
            if (error == error::NotSocket || error == error::ConnectionAborted || error == error::ConnectionReset)
                return error;
            m_firewall.onError(error, "socket error in recv: " + QByteArray::number(error));
            return error;
        }
        if (count == 0 || mode == ReadMode::Drain) {
            deliverRest();
            if (mode == ReadMode::Drain)
                return code::Ok;
            // The peer closed: the close notification finishes the connection.
            m_closedByPeer = true;
            if (mode == ReadMode::Normal) {
                m_closePending = true;
                m_closeCode = code::Ok;
            }
            return code::Ok;
        }
    }
}

int SocketEngine::disconnect(int code)
{
    if (!hasSocket()) {
        resetConnection();
        return code::Ok;
    }
    api().asyncSelect(m_socket, m_window.handle(), 0, 0);
    if (m_insideRead) {
        m_closePending = true;
        m_closeCode = code;
        return code::Ok;
    }
    if (m_receiving && code == code::Ok) {
        m_insideRead = true;
        read(ReadMode::Drain);
        m_insideRead = false;
    }
    const int closed = api().closesocket(m_socket);
    const int closeError = closed == SocketError ? api().lastError() : 0;
    m_socket = InvalidSocket;
    const bool wasConnected = m_connected;
    resetConnection();
    if (wasConnected || closed == 0)
        m_firewall.onDisconnected(code);
    return closeError == 0 ? code::Ok : fail(closeError);
}

void SocketEngine::closeQuietly()
{
    api().closesocket(m_socket);
    m_socket = InvalidSocket;
    resetConnection();
}

void SocketEngine::resetConnection()
{
    m_connected = false;
    m_insideRead = false;
    m_closePending = false;
    m_receiving = true;
    m_buffer.clear();
}

void SocketEngine::armTimeout()
{
    m_interrupted = false;
    if (m_timeoutMs == 0) {
        m_deadlineClock.reset();
        return;
    }
    m_deadlineClock.emplace();
    m_deadlineClock->start();
}

bool SocketEngine::takeInterrupted()
{
    const bool was = m_interrupted;
    m_interrupted = false;
    return was;
}

bool SocketEngine::waitPass(int milliseconds)
{
    const auto interrupt = [this] {
        m_interruptRequested = false;
        m_interrupted = true;
        setMessage("Interrupted.");
        return false;
    };
    if (m_interruptRequested)
        return interrupt();
    auto& queue = MessageQueue::current();
    if (const auto next = queue.nextMessage(milliseconds)) {
        if (next->window == 0 && next->message == platform::sockets::message::Quit) {
            queue.postQuit(static_cast<int>(next->wParam));
            return false;
        }
        queue.dispatch(*next);
        if (next->message == platform::sockets::message::Close || !m_window.exists())
            return false;
    }
    if (m_interruptRequested)
        return interrupt();
    if (deadlinePassed()) {
        m_interrupted = true;
        setMessage("Timeout.");
        return false;
    }
    return m_window.exists();
}

int SocketEngine::waitWhile(const std::function<bool()>& busy, int milliseconds)
{
    while (busy()) {
        if (!waitPass(milliseconds))
            return code::Interrupted;
    }
    return code::Ok;
}

int SocketEngine::fail(int code)
{
    if (code == code::Ok || !m_message.isEmpty())
        return code;
    if (code == code::Interrupted)
        setMessage("Interrupted.");
    else if (code == code::OutOfMemory)
        setMessage("Out of memory.");
    else
        setMessage(ansi(describeSocketError(code)));
    return code;
}

int SocketEngine::fail(int code, const QByteArray& text)
{
    setMessage(text);
    return code;
}

} // namespace kelvane::plexant
