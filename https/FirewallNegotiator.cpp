#include "https/FirewallNegotiator.h"

#include "https/BasicAuthorization.h"
#include "https/ResultCodes.h"
#include "https/SocketEngine.h"

#include <algorithm>

namespace kelvane::plexant {

namespace {

QByteArray bigEndian16(quint16 value)
{
    const char bytes[] = {char(value >> 8), char(value & 0xFF)};
    return QByteArray(bytes, sizeof bytes);
}

QByteArray bigEndian32(quint32 value)
{
    const char bytes[] = {char(value >> 24), char((value >> 16) & 0xFF), char((value >> 8) & 0xFF), char(value & 0xFF)};
    return QByteArray(bytes, sizeof bytes);
}

quint8 byteAt(const QByteArray& bytes, qsizetype index) { return static_cast<quint8>(bytes.at(index)); }

QByteArray socks4Failure(quint8 status)
{
    switch (status) {
    case 91: return "firewall request rejected or failed";
    case 92: return "firewall request rejected because identd is not available";
    case 93: return "firewall request rejected because identd reports different user";
    default: return "unknown firewall error: " + QByteArray::number(status);
    }
}

QByteArray socks5Failure(quint8 status)
{
    switch (status) {
    case 1: return "general SOCKS server failure";
    case 2: return "connection not allowed by ruleset";
    case 3: return "network unreachable";
    case 4: return "host unreachable";
    case 5: return "connection refused";
    case 6: return "TTL expired";
    case 7: return "command not supported";
    case 8: return "address type not supported";
    default: return "unknown firewall error: " + QByteArray::number(status);
    }
}

QByteArray socks5VersionFailure(quint8 version)
{
    return "firewall reply of an unknown SOCKS version: " + QByteArray::number(version);
}

// The length of a SOCKS5 request reply, which follows its address type; 0 while the bytes
// that tell it have not all arrived.
qsizetype socks5ReplyLength(const QByteArray& reply)
{
    if (reply.size() < 5)
        return 0;
    switch (byteAt(reply, 3)) {
    case 3: return 4 + 1 + byteAt(reply, 4) + 2;
    case 4: return 4 + 16 + 2;
    default: return 4 + 4 + 2;
    }
}

} // namespace

FirewallNegotiator::FirewallNegotiator(SocketEngine& socket, ConnectionEvents& upper)
    : m_socket(socket)
    , m_upper(upper)
{
}

void FirewallNegotiator::setType(int type)
{
    m_type = type;
    m_port = (type == Socks4 || type == Socks5) ? 1080 : 80;
}

int FirewallNegotiator::setHost(const QByteArray& host)
{
    m_address = 0;
    if (host.isEmpty())
        return code::Ok;
    const int result = m_socket.resolve(host, m_address);
    return result == code::Ok ? result : m_socket.fail(result);
}

bool FirewallNegotiator::sendRaw(const QByteArray& bytes)
{
    int sent = 0;
    const int result = m_socket.send(bytes.constData(), int(bytes.size()), sent);
    if (result == code::Ok)
        return true;
    failNegotiation("firewall request could not be sent: " + m_socket.message());
    return false;
}

void FirewallNegotiator::onConnected(int code)
{
    m_reply.clear();
    m_tunnelScan = {};
    if (code != code::Ok || m_type == None) {
        m_negotiating = false;
        m_upper.onConnected(code);
        return;
    }
    m_negotiating = true;
    switch (m_type) {
    case Tunnel: startTunnel(); break;
    case Socks4: startSocks4(); break;
    default:
        m_step = Greeting;
        if (offersCredentials())
            sendRaw(QByteArray::fromRawData("\x05\x02\x00\x02", 4));
        else
            sendRaw(QByteArray::fromRawData("\x05\x01\x00", 3));
        break;
    }
}

void FirewallNegotiator::startTunnel()
{
    QByteArray request = "CONNECT " + m_socket.remoteHost() + ':' + QByteArray::number(m_socket.remotePort())
        + " HTTP/1.0\r\n";
    if (!m_user.isEmpty() || !m_password.isEmpty())
        request += "Proxy-authorization: Basic " + basicCredentials(m_user, m_password) + "\r\n";
    sendRaw(request + "\r\n");
}

void FirewallNegotiator::startSocks4()
{
    quint32 address = 0;
    if (m_socket.resolve(m_socket.remoteHost(), address) != code::Ok || address == 0) {
        failNegotiation({});
        return;
    }
    sendRaw(QByteArray("\x04\x01", 2) + bigEndian16(m_socket.remotePort()) + bigEndian32(address) + m_user
            + QByteArray(1, '\0'));
}

void FirewallNegotiator::sendSocks5Request()
{
    m_step = Request;
    QByteArray request("\x05\x01\x00", 3);
    const QByteArray& host = m_socket.remoteHost();
    if (host.startsWith('*')) {
        const QByteArray name = host.mid(1);
        if (name.size() > 255) {
            failNegotiation("host name too long for the firewall");
            return;
        }
        request += char(3);
        request += char(name.size());
        request += name;
    } else {
        quint32 address = 0;
        if (m_socket.resolve(host, address) != code::Ok || address == 0) {
            failNegotiation({});
            return;
        }
        request += char(1);
        request += bigEndian32(address);
    }
    sendRaw(request + bigEndian16(m_socket.remotePort()));
}

void FirewallNegotiator::onDataIn(const QByteArray& piece, bool complete)
{
    if (!m_negotiating) {
        m_upper.onDataIn(piece, complete);
        return;
    }
    // While negotiating, the socket engine hands over what arrives as it came.
    m_reply += piece;
    switch (m_type) {
    case Tunnel: tunnelReply(); break;
    case Socks4: socks4Reply(); break;
    default: socks5Reply(); break;
    }
}

void FirewallNegotiator::tunnelReply()
{
    TunnelScan& scan = m_tunnelScan;
    if (!scan.accepted && m_reply.size() > 9) {
        for (; scan.statusAt < m_reply.size(); ++scan.statusAt) {
            const char c = m_reply.at(scan.statusAt);
            if (c == ' ') {
                scan.pastBlank = true;
            } else if (scan.pastBlank) {
                if (c != '2') {
                    failNegotiation(m_reply.left(kMaxTunnelReply));
                    return;
                }
                scan.accepted = true;
                break;
            }
        }
    }
    if (scan.accepted) {
        // Only what arrived since the last look is searched (with the 3 bytes before it,
        // where an end may have begun).
        const qsizetype from = std::max<qsizetype>(0, scan.endAt - 3);
        scan.endAt = m_reply.size();
        if (m_reply.indexOf("\r\n\r\n", from) >= 0 || m_reply.indexOf("\n\n", from) >= 0) {
            // Whatever follows the proxy's reply header is not passed on.
            m_reply.clear();
            m_negotiating = false;
            m_upper.onConnected(code::Ok);
            return;
        }
    }
    // The cap holds whatever the reply holds, a status or not.
    if (m_reply.size() > kMaxTunnelReply)
        failNegotiation("firewall reply too long");
}

void FirewallNegotiator::socks4Reply()
{
    if (m_reply.size() < 8)
        return;
    if (byteAt(m_reply, 1) != 90) {
        failNegotiation(socks4Failure(byteAt(m_reply, 1)));
        return;
    }
    succeed(8);
}

void FirewallNegotiator::socks5Reply()
{
    // Each step's answer is taken off the front: bytes that came with it belong to the next.
    while (m_negotiating && m_step != Request && m_reply.size() >= 2) {
        const quint8 version = byteAt(m_reply, 0);
        const quint8 answer = byteAt(m_reply, 1);
        consumeReply(2);
        if (m_step == Greeting) {
            if (version != 5) {
                failNegotiation(socks5VersionFailure(version));
            } else if (answer == 0) {
                sendSocks5Request();
            } else if (answer == 2 && offersCredentials()) {
                m_step = Authentication;
                sendRaw(char(1) + (char(m_user.size()) + m_user) + char(m_password.size()) + m_password);
            } else {
                failNegotiation(answer == 255 ? "no acceptable firewall authentication methods"
                                              : "unknown firewall authentication method");
            }
        } else if (answer != 0) {
            failNegotiation("firewall authentication failed: " + QByteArray::number(answer));
        } else {
            sendSocks5Request();
        }
    }
    if (!m_negotiating || m_step != Request)
        return;
    const qsizetype length = socks5ReplyLength(m_reply);
    if (length == 0 || m_reply.size() < length)
        return;
    if (byteAt(m_reply, 0) != 5) {
        failNegotiation(socks5VersionFailure(byteAt(m_reply, 0)));
        return;
    }
    if (byteAt(m_reply, 1) != 0) {
        failNegotiation(socks5Failure(byteAt(m_reply, 1)));
        return;
    }
    succeed(length);
}

void FirewallNegotiator::succeed(qsizetype replyLength)
{
    // What came after the reply is the remote host's: it is read again as such.
    m_socket.unread(m_reply.mid(replyLength));
    m_reply.clear();
    m_negotiating = false;
    m_upper.onConnected(code::Ok);
}

void FirewallNegotiator::failNegotiation(QByteArray text)
{
    m_reply.clear();
    m_upper.onError(code::FirewallFailed, text);
    m_negotiating = false;
    // Nothing more of this connection is read: the layers above never had it.
    m_socket.setReceiving(false);
    m_socket.setMessage(text);
    m_upper.onConnected(code::FirewallFailed);
    m_socket.disconnect(code::FirewallFailed);
}

void FirewallNegotiator::onDisconnected(int code)
{
    const bool wasNegotiating = m_negotiating;
    m_negotiating = false;
    m_reply.clear();
    if (wasNegotiating) {
        if (m_socket.closedByPeer()) {
            // A firewall that hangs up before it answered has failed the negotiation.
            m_socket.setMessage("firewall closed the connection during negotiation");
            m_upper.onConnected(code::FirewallFailed);
        } else if (code != code::Ok) {
            // This side gave up (a time-out, a failure): the connect failed for that reason.
            m_upper.onConnected(code);
        }
    }
    m_upper.onDisconnected(code);
}

void FirewallNegotiator::onError(int code, const QByteArray& text) { m_upper.onError(code, text); }

void FirewallNegotiator::onReadyToSend()
{
    if (!m_negotiating)
        m_upper.onReadyToSend();
}

} // namespace kelvane::plexant
