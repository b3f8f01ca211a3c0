#pragma once

#include "https/ConnectionEvents.h"

#include <QByteArray>

namespace kelvane::plexant {

class SocketEngine;

// Reaches the remote host through a firewall before the layers above hear that the
// connection is up: an HTTP CONNECT tunnel, a SOCKS4 request or a SOCKS5 exchange. While a
// type is set, the socket connects to the firewall instead of the remote host; until the
// negotiation is through, what arrives is consumed here. Every failure is code 118 with its
// text, and closes the connection.
class FirewallNegotiator : public ConnectionEvents {
public:
    enum Type { None = 0, Tunnel = 1, Socks4 = 2, Socks5 = 3 };
    static constexpr int kMaxCredential = 255;
    // A tunnel's reply header is a few lines; a proxy that sends more is refused.
    static constexpr int kMaxTunnelReply = 16 * 1024;

    FirewallNegotiator(SocketEngine& socket, ConnectionEvents& upper);

    int type() const { return m_type; }
    // Sets the type and, with it, the port: 1080 for SOCKS, else 80.
    void setType(int type);
    // Sets the type alone, as saved properties restore it.
    void restoreType(int type) { m_type = type; }

    // The firewall's host: a dotted address or a name, resolved at once; empty clears it.
    int setHost(const QByteArray& host);
    quint32 address() const { return m_address; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }

    // At most 255 bytes of each are kept.
    const QByteArray& user() const { return m_user; }
    void setUser(const QByteArray& user) { m_user = user.left(kMaxCredential); }
    const QByteArray& password() const { return m_password; }
    void setPassword(const QByteArray& password) { m_password = password.left(kMaxCredential); }
    // Stored and saved with the control; no negotiation sends it.
    const QByteArray& data() const { return m_data; }
    void setData(const QByteArray& data) { m_data = data; }

    bool negotiating() const { return m_negotiating; }

    void onConnected(int code) override;
    void onDisconnected(int code) override;
    void onDataIn(const QByteArray& piece, bool complete) override;
    void onError(int code, const QByteArray& text) override;
    void onReadyToSend() override;

private:
    enum Socks5Step { Greeting = 1, Authentication = 2, Request = 3 };

    void startTunnel();
    // SOCKS5 offers user name and password only when both are set.
    bool offersCredentials() const { return !m_user.isEmpty() && !m_password.isEmpty(); }
    void startSocks4();
    void sendSocks5Request();
    void tunnelReply();
    void socks4Reply();
    void socks5Reply();
    void succeed(qsizetype replyLength);
    void failNegotiation(QByteArray text);
    bool sendRaw(const QByteArray& bytes);
    // The first `length` bytes of the reply were an answer: what came after them stays.
    void consumeReply(qsizetype length) { m_reply.remove(0, length); }

    SocketEngine& m_socket;
    ConnectionEvents& m_upper;
    int m_type = None;
    quint32 m_address = 0;
    quint16 m_port = 80;
    QByteArray m_user;
    QByteArray m_password;
    QByteArray m_data;

    bool m_negotiating = false;
    Socks5Step m_step = Greeting;
    QByteArray m_reply;
    // How far a tunnel's reply was read: the search for its status (the character after the
    // first run of blanks) and for its end go on where the last piece left them.
    struct TunnelScan {
        qsizetype statusAt = 0;
        bool pastBlank = false;
        bool accepted = false;
        qsizetype endAt = 0;
    } m_tunnelScan;
};

} // namespace kelvane::plexant
