#include "platform/sockets/LinuxSocketLibrary.h"

#include "platform/sockets/MessageQueue.h"
#include "platform/sockets/SocketErrors.h"

#include <QSocketNotifier>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <dlfcn.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform::sockets {

namespace {

constexpr quint16 kVersion = 0x0101;
constexpr quint16 kMaxDatagramSize = 65507; // the largest UDP payload over IPv4

sockaddr_in toSockaddr(const SocketAddress& address)
{
    sockaddr_in result {};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = htonl(address.address);
    result.sin_port = htons(address.port);
    return result;
}

SocketAddress fromSockaddr(const sockaddr_in& address)
{
    return SocketAddress {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

quint16 maxSockets()
{
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 0xFFFF;
    return static_cast<quint16>(std::min<rlim_t>(limit.rlim_cur, 0xFFFF));
}

int errorOfResolver(int status)
{
    switch (status) {
    case EAI_NONAME: return error::HostNotFound;
    case EAI_AGAIN: return error::TryAgain;
    case EAI_NODATA:
    case EAI_ADDRFAMILY: return error::NoData;
    case EAI_SYSTEM: return LinuxSocketLibrary::errorOfErrno(errno);
    default: return error::NoRecovery;
    }
}

// Failures of a connection attempt that arrive with its Connect notification.
bool isConnectOutcome(int errnoValue)
{
    return errnoValue == ECONNREFUSED || errnoValue == ENETUNREACH || errnoValue == EHOSTUNREACH
        || errnoValue == ETIMEDOUT;
}

} // namespace

struct LinuxSocketLibrary::Socket {
    explicit Socket(int descriptor) : fd(descriptor) {}
    ~Socket()
    {
        // Notifiers go before the descriptor they watch.
        readNotifier.reset();
        writeNotifier.reset();
        ::close(fd);
    }

    bool selects(int e) const { return window != 0 && (events & e) != 0; }

    int fd;
    bool listening = false;
    bool connecting = false;
    bool connected = false;
    bool sendShutDown = false;
    // The asynchronous selection.
    WindowHandle window = 0;
    quint32 message = 0;
    int events = 0;
    // Which notifications may be posted next (the old re-enabling rules).
    bool readArmed = true;
    bool writeArmed = false;
    bool acceptArmed = true;
    bool closeReported = false;
    std::unique_ptr<QSocketNotifier> readNotifier;
    std::unique_ptr<QSocketNotifier> writeNotifier;
};

LinuxSocketLibrary::LinuxSocketLibrary() = default;

LinuxSocketLibrary::~LinuxSocketLibrary() = default;

int LinuxSocketLibrary::errorOfErrno(int errnoValue)
{
    switch (errnoValue) {
    case EINTR: return error::Interrupted;
    case EBADF: return error::BadFile;
    case EACCES:
    case EPERM: return error::AccessDenied;
    case EFAULT: return error::BadAddress;
    case EINVAL: return error::InvalidArgument;
    case EMFILE:
    case ENFILE: return error::TooManyOpenFiles;
    case EAGAIN: return error::WouldBlock;
    case EINPROGRESS: return error::InProgress;
    case EALREADY: return error::AlreadyInProgress;
    case ENOTSOCK: return error::NotSocket;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return error::MessageTooLong;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return error::ProtocolNotSupported;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return error::OperationNotSupported;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return error::AddressFamilyNotSupported;
    case EADDRINUSE: return error::AddressInUse;
    case EADDRNOTAVAIL: return error::AddressNotAvailable;
    case ENETDOWN: return error::NetworkDown;
    case ENETUNREACH: return error::NetworkUnreachable;
    case ENETRESET: return error::NetworkReset;
    case ECONNABORTED: return error::ConnectionAborted;
    case ECONNRESET:
    case EPIPE: return error::ConnectionReset;
    case ENOBUFS:
    case ENOMEM: return error::NoBufferSpace;
    case EISCONN: return error::AlreadyConnected;
    case ENOTCONN: return error::NotConnected;
    case ESHUTDOWN: return error::Shutdown;
    case ETIMEDOUT: return error::TimedOut;
    case ECONNREFUSED: return error::ConnectionRefused;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return error::NameTooLong;
    case EHOSTDOWN: return error::HostDown;
    case EHOSTUNREACH: return error::HostUnreachable;
    default: return error::InvalidArgument;
    }
}

QString LinuxSocketLibrary::fileName() const
{
    // The system library that holds the socket calls.
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(&::socket), &info) != 0 && info.dli_fname)
        return QString::fromLocal8Bit(info.dli_fname);
    return QStringLiteral("libc.so.6");
}

int LinuxSocketLibrary::startup(quint16 requestedVersion, StartupRecord& record)
{
    const int major = requestedVersion & 0xFF;
    const int minor = requestedVersion >> 8;
    if (major < 1 || (major == 1 && minor < 1))
        return error::VersionNotSupported;
    record.version = kVersion;
    record.highVersion = kVersion;
    record.description = QStringLiteral("Linux sockets: TCP over IPv4");
    record.systemStatus = QStringLiteral("Running");
    record.maxSockets = maxSockets();
    record.maxDatagramSize = kMaxDatagramSize;
    ++m_startups;
    return 0;
}

int LinuxSocketLibrary::cleanup()
{
    if (!started())
        return error::NotInitialised;
    --m_startups;
    return 0;
}

bool LinuxSocketLibrary::started()
{
    if (m_startups > 0)
        return true;
    m_lastError = error::NotInitialised;
    return false;
}

int LinuxSocketLibrary::fail(int code)
{
    m_lastError = code;
    return SocketError;
}

LinuxSocketLibrary::Socket* LinuxSocketLibrary::find(SocketHandle s)
{
    if (!started())
        return nullptr;
    const auto it = m_sockets.find(s);
    if (it == m_sockets.end()) {
        fail(error::NotSocket);
        return nullptr;
    }
    return it->second.get();
}

SocketHandle LinuxSocketLibrary::adopt(int descriptor)
{
    const SocketHandle handle = ++m_lastHandle;
    m_sockets.emplace(handle, std::make_unique<Socket>(descriptor));
    return handle;
}

SocketHandle LinuxSocketLibrary::socket()
{
    if (!started())
        return InvalidSocket;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        fail(errorOfErrno(errno));
        return InvalidSocket;
    }
    return adopt(fd);
}

int LinuxSocketLibrary::bind(SocketHandle s, const SocketAddress& local)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    const sockaddr_in address = toSockaddr(local);
    if (::bind(socket->fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return fail(errorOfErrno(errno));
    return 0;
}

int LinuxSocketLibrary::listen(SocketHandle s, int backlog)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    if (::listen(socket->fd, backlog) != 0)
        return fail(errorOfErrno(errno));
    socket->listening = true;
    updateNotifiers(s);
    return 0;
}

SocketHandle LinuxSocketLibrary::accept(SocketHandle s, SocketAddress* peer)
{
    Socket* listener = find(s);
    if (!listener)
        return InvalidSocket;
    if (!listener->listening) {
        fail(error::InvalidArgument);
        return InvalidSocket;
    }
    sockaddr_in address {};
    socklen_t length = sizeof address;
    const int fd = ::accept4(listener->fd, reinterpret_cast<sockaddr*>(&address), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int acceptError = errno;
    listener->acceptArmed = true;
    updateNotifiers(s);
    if (fd < 0) {
        fail(errorOfErrno(acceptError));
        return InvalidSocket;
    }
    const SocketHandle handle = adopt(fd);
    // The accepted socket is connected and keeps the listener's selection.
    Socket& accepted = *m_sockets.at(handle);
    accepted.connected = true;
    accepted.window = listener->window;
    accepted.message = listener->message;
    accepted.events = listener->events;
    accepted.writeArmed = true;
    updateNotifiers(handle);
    if (peer)
        *peer = fromSockaddr(address);
    return handle;
}

int LinuxSocketLibrary::connect(SocketHandle s, const SocketAddress& remote)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    if (socket->connected)
        return fail(error::AlreadyConnected);
    if (socket->connecting)
        return fail(error::AlreadyInProgress);
    const sockaddr_in address = toSockaddr(remote);
    const int result = ::connect(socket->fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int connectError = errno;
    if (result == 0 && socket->window == 0) {
        socket->connected = true;
        return 0;
    }
    if (result == 0 || connectError == EINPROGRESS) {
        // The Connect notification tells the outcome once the socket is writable.
        socket->connecting = true;
        updateNotifiers(s);
        return fail(error::WouldBlock);
    }
    if (socket->selects(event::Connect) && isConnectOutcome(connectError)) {
        notify(*socket, s, event::Connect, errorOfErrno(connectError));
        return fail(error::WouldBlock);
    }
    return fail(errorOfErrno(connectError));
}

int LinuxSocketLibrary::send(SocketHandle s, const char* data, int length, int flags)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    if (length < 0)
        return fail(error::InvalidArgument);
    const int systemFlags = MSG_NOSIGNAL | MSG_DONTWAIT | ((flags & SendOutOfBand) ? MSG_OOB : 0);
    const ssize_t sent = ::send(socket->fd, data, static_cast<size_t>(length), systemFlags);
    if (sent < 0) {
        const int sendError = errno;
        if (sendError == EAGAIN) {
            socket->writeArmed = true;
            updateNotifiers(s);
        }
        if (sendError == EPIPE && socket->sendShutDown)
            return fail(error::Shutdown);
        return fail(errorOfErrno(sendError));
    }
    if (sent < length) {
        socket->writeArmed = true;
        updateNotifiers(s);
    }
    return static_cast<int>(sent);
}

int LinuxSocketLibrary::recv(SocketHandle s, char* buffer, int length)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    if (length < 0)
        return fail(error::InvalidArgument);
    const ssize_t received = ::recv(socket->fd, buffer, static_cast<size_t>(length), MSG_DONTWAIT);
    const int receiveError = errno;
    socket->readArmed = true;
    updateNotifiers(s);
    if (received < 0)
        return fail(errorOfErrno(receiveError));
    return static_cast<int>(received);
}

int LinuxSocketLibrary::shutdown(SocketHandle s, ShutdownDirection direction)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    const int how = direction == ShutdownDirection::Receive ? SHUT_RD
        : direction == ShutdownDirection::Send              ? SHUT_WR
                                                            : SHUT_RDWR;
    if (::shutdown(socket->fd, how) != 0)
        return fail(errorOfErrno(errno));
    if (direction != ShutdownDirection::Receive)
        socket->sendShutDown = true;
    return 0;
}

int LinuxSocketLibrary::closesocket(SocketHandle s)
{
    if (!find(s))
        return SocketError;
    m_sockets.erase(s);
    return 0;
}

int LinuxSocketLibrary::setOption(SocketHandle s, SocketOption option, int value)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    const int name = option == SocketOption::KeepAlive ? SO_KEEPALIVE
        : option == SocketOption::ReceiveBufferSize    ? SO_RCVBUF
        : option == SocketOption::SendBufferSize       ? SO_SNDBUF
                                                       : SO_OOBINLINE;
    if (::setsockopt(socket->fd, SOL_SOCKET, name, &value, sizeof value) != 0)
        return fail(errorOfErrno(errno));
    return 0;
}

int LinuxSocketLibrary::setLinger(SocketHandle s, bool on, int seconds)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    const linger value {on ? 1 : 0, seconds};
    if (::setsockopt(socket->fd, SOL_SOCKET, SO_LINGER, &value, sizeof value) != 0)
        return fail(errorOfErrno(errno));
    return 0;
}

int LinuxSocketLibrary::localAddress(SocketHandle s, SocketAddress& result)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    sockaddr_in address {};
    socklen_t length = sizeof address;
    if (::getsockname(socket->fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return fail(errorOfErrno(errno));
    result = fromSockaddr(address);
    return 0;
}

int LinuxSocketLibrary::peerAddress(SocketHandle s, SocketAddress& result)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    sockaddr_in address {};
    socklen_t length = sizeof address;
    if (::getpeername(socket->fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return fail(errorOfErrno(errno));
    result = fromSockaddr(address);
    return 0;
}

int LinuxSocketLibrary::asyncSelect(SocketHandle s, WindowHandle window, quint32 message, int events)
{
    Socket* socket = find(s);
    if (!socket)
        return SocketError;
    socket->window = events != 0 ? window : 0;
    socket->message = message;
    socket->events = events;
    // A new selection reports what already holds: waiting data or connections, and a
    // connected socket's readiness to send.
    socket->readArmed = true;
    socket->acceptArmed = true;
    socket->writeArmed = socket->connected;
    updateNotifiers(s);
    return 0;
}

std::optional<quint32> LinuxSocketLibrary::parseAddress(const QString& text)
{
    if (!started())
        return std::nullopt;
    const QByteArray latin1 = text.toLatin1();
    in_addr address {};
    if (QString::fromLatin1(latin1) != text || inet_aton(latin1.constData(), &address) == 0)
        return std::nullopt;
    return ntohl(address.s_addr);
}

QString LinuxSocketLibrary::addressText(quint32 address)
{
    if (!started())
        return {};
    const in_addr value {htonl(address)};
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &value, text, sizeof text);
    return QString::fromLatin1(text);
}

std::optional<quint32> LinuxSocketLibrary::resolveHost(const QString& name)
{
    if (!started())
        return std::nullopt;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(name.toUtf8().constData(), nullptr, &hints, &found);
    if (status != 0 || !found) {
        fail(status != 0 ? errorOfResolver(status) : error::NoData);
        return std::nullopt;
    }
    const quint32 address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return address;
}

std::optional<QString> LinuxSocketLibrary::hostName()
{
    if (!started())
        return std::nullopt;
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        fail(errorOfErrno(errno));
        return std::nullopt;
    }
    return QString::fromLocal8Bit(name);
}

void LinuxSocketLibrary::notify(const Socket& socket, SocketHandle s, int event, int error)
{
    MessageQueue::current().post(WindowMessage {socket.window, socket.message, static_cast<quintptr>(s),
                                                notificationParameter(event, error)});
}

void LinuxSocketLibrary::updateNotifiers(SocketHandle s)
{
    Socket& socket = *m_sockets.at(s);
    const bool selected = socket.window != 0;
    const bool wantRead = selected
        && (socket.listening ? socket.acceptArmed && socket.selects(event::Accept)
                             : socket.connected && socket.readArmed && !socket.closeReported
                                 && socket.selects(event::Read | event::Close));
    const bool wantWrite = selected && (socket.connecting || (socket.connected && socket.writeArmed && socket.selects(event::Write)));

    const auto apply = [&](std::unique_ptr<QSocketNotifier>& notifier, QSocketNotifier::Type type, bool wanted,
                           void (LinuxSocketLibrary::*handler)(SocketHandle)) {
        if (!notifier && wanted) {
            notifier = std::make_unique<QSocketNotifier>(socket.fd, type);
            QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                             [this, s, handler] { (this->*handler)(s); });
        }
        if (notifier)
            notifier->setEnabled(wanted);
    };
    apply(socket.readNotifier, QSocketNotifier::Read, wantRead, &LinuxSocketLibrary::onReadable);
    apply(socket.writeNotifier, QSocketNotifier::Write, wantWrite, &LinuxSocketLibrary::onWritable);
}

void LinuxSocketLibrary::onReadable(SocketHandle s)
{
    const auto it = m_sockets.find(s);
    if (it == m_sockets.end())
        return;
    Socket& socket = *it->second;
    if (socket.listening) {
        socket.acceptArmed = false;
        notify(socket, s, event::Accept, 0);
    } else {
        char byte = 0;
        const ssize_t waiting = ::recv(socket.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        const int peekError = errno;
        if (waiting > 0) {
            // Quiet until the program reads, whether or not it asked to hear of data.
            socket.readArmed = false;
            if (socket.selects(event::Read))
                notify(socket, s, event::Read, 0);
        } else if (waiting == 0 || (peekError != EAGAIN && peekError != EINTR)) {
            socket.closeReported = true;
            if (socket.selects(event::Close))
                notify(socket, s, event::Close, waiting == 0 ? 0 : errorOfErrno(peekError));
        }
    }
    updateNotifiers(s);
}

void LinuxSocketLibrary::onWritable(SocketHandle s)
{
    const auto it = m_sockets.find(s);
    if (it == m_sockets.end())
        return;
    Socket& socket = *it->second;
    if (socket.connecting) {
        int connectError = 0;
        socklen_t length = sizeof connectError;
        ::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &connectError, &length);
        socket.connecting = false;
        socket.connected = connectError == 0;
        // A made connection is ready to send: the Write notification follows.
        socket.writeArmed = socket.connected;
        if (socket.selects(event::Connect))
            notify(socket, s, event::Connect, connectError == 0 ? 0 : errorOfErrno(connectError));
    } else if (socket.writeArmed) {
        socket.writeArmed = false;
        if (socket.selects(event::Write))
            notify(socket, s, event::Write, 0);
    }
    updateNotifiers(s);
}

} // namespace platform::sockets
