#include "platform/sockets/SocketErrors.h"
#include "platform/sockets/SocketLayer.h"
#include "tests/platform/SocketTestSupport.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace platform::sockets;
using kelvane::test::kLoopback;
using kelvane::test::kSocketMessage;
using kelvane::test::Notification;
using kelvane::test::NotificationLog;
using kelvane::test::pumpUntil;

namespace {

constexpr int kAllEvents = event::Read | event::Write | event::Accept | event::Connect | event::Close;

// Two ends of a TCP connection on 127.0.0.1, made through the socket library with every
// notification going to one recording window.
class LoopbackSockets : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(layer.load());
        while (MessageQueue::current().nextMessage(0)) {
        }
    }
    void TearDown() override
    {
        for (const SocketHandle s : opened)
            api().closesocket(s);
        layer.unload();
    }

    SocketLibrary& api() { return layer.api(); }

    SocketHandle openSocket()
    {
        const SocketHandle s = api().socket();
        EXPECT_NE(s, InvalidSocket);
        opened.push_back(s);
        return s;
    }

    // A listening socket on 127.0.0.1 and a system-chosen port.
    SocketHandle listenOnLoopback(quint16& port)
    {
        const SocketHandle listener = openSocket();
        EXPECT_EQ(api().bind(listener, {kLoopback, 0}), 0);
        EXPECT_EQ(api().listen(listener, 1), 0);
        EXPECT_EQ(api().asyncSelect(listener, log.window.handle(), kSocketMessage, event::Accept), 0);
        SocketAddress bound;
        EXPECT_EQ(api().localAddress(listener, bound), 0);
        port = bound.port;
        return listener;
    }

    // Connects a client to a listener and accepts it: {client, server end}.
    std::pair<SocketHandle, SocketHandle> connectPair(int clientEvents = kAllEvents)
    {
        quint16 port = 0;
        const SocketHandle listener = listenOnLoopback(port);
        const SocketHandle client = openSocket();
        EXPECT_EQ(api().asyncSelect(client, log.window.handle(), kSocketMessage, clientEvents), 0);
        EXPECT_EQ(api().connect(client, {kLoopback, port}), SocketError);
        EXPECT_EQ(api().lastError(), error::WouldBlock);
        EXPECT_TRUE(pumpUntil([&] { return log.has(listener, event::Accept); }));
        SocketAddress peer;
        const SocketHandle server = api().accept(listener, &peer);
        EXPECT_NE(server, InvalidSocket);
        opened.push_back(server);
        SocketAddress clientEnd;
        EXPECT_EQ(api().localAddress(client, clientEnd), 0);
        EXPECT_EQ(peer, clientEnd);
        return {client, server};
    }

    QByteArray receiveAll(SocketHandle s, int expected)
    {
        QByteArray received;
        pumpUntil([&] {
            char buffer[64];
            const int n = api().recv(s, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, n);
            return received.size() >= expected;
        });
        return received;
    }

    SocketLayer layer {200};
    NotificationLog log;
    std::vector<SocketHandle> opened;
};

} // namespace

TEST_F(LoopbackSockets, AConnectionIsMadeAndReportedInOrder)
{
    const auto [client, server] = connectPair();
    ASSERT_TRUE(pumpUntil([&] { return log.has(client, event::Write); }));
    // The client hears Connect without error and then that it may send. The accepted end
    // keeps the listener's selection (Accept only) and hears nothing.
    EXPECT_FALSE(log.has(server, event::Write));
    std::vector<Notification> clientSide;
    for (const auto& n : log.entries) {
        if (n.socket == client)
            clientSide.push_back(n);
    }
    ASSERT_GE(clientSide.size(), 2u);
    EXPECT_EQ(clientSide[0], (Notification {client, event::Connect, 0}));
    EXPECT_EQ(clientSide[1], (Notification {client, event::Write, 0}));

    SocketAddress peer;
    ASSERT_EQ(api().peerAddress(client, peer), 0);
    EXPECT_EQ(peer.address, kLoopback);
    EXPECT_EQ(api().addressText(peer.address), QStringLiteral("127.0.0.1"));
}

TEST_F(LoopbackSockets, ReadIsReportedAgainOnlyAfterTheProgramRead)
{
    const auto [client, server] = connectPair();
    // The accepted end inherits only Accept from the listener; ask it for everything.
    ASSERT_EQ(api().asyncSelect(server, log.window.handle(), kSocketMessage, kAllEvents), 0);
    ASSERT_EQ(api().send(client, "hello", 5), 5);
    ASSERT_TRUE(pumpUntil([&] { return log.has(server, event::Read); }));
    ASSERT_EQ(api().send(client, "again", 5), 5);
    kelvane::test::pumpFor(100);
    EXPECT_EQ(log.count(server, event::Read), 1);

    // Reading part of it re-enables the notification, since data still waits.
    char buffer[3];
    ASSERT_EQ(api().recv(server, buffer, 3), 3);
    EXPECT_EQ(QByteArray(buffer, 3), QByteArray("hel"));
    ASSERT_TRUE(pumpUntil([&] { return log.count(server, event::Read) == 2; }));
    EXPECT_EQ(receiveAll(server, 7), QByteArray("loagain"));
    EXPECT_EQ(api().recv(server, buffer, 3), SocketError);
    EXPECT_EQ(api().lastError(), error::WouldBlock);
}

TEST_F(LoopbackSockets, APeersCloseArrivesAfterItsData)
{
    const auto [client, server] = connectPair();
    ASSERT_EQ(api().send(server, "bye", 3), 3);
    ASSERT_EQ(api().closesocket(server), 0);
    ASSERT_TRUE(pumpUntil([&] { return log.has(client, event::Read); }));
    EXPECT_FALSE(log.has(client, event::Close));
    EXPECT_EQ(receiveAll(client, 3), QByteArray("bye"));
    ASSERT_TRUE(pumpUntil([&] { return log.has(client, event::Close); }));
    EXPECT_EQ(log.find(client, event::Close)->error, 0);
    char buffer[8];
    EXPECT_EQ(api().recv(client, buffer, sizeof buffer), 0);
}

TEST_F(LoopbackSockets, AHardCloseResetsThePeerAndAShutDownEndRefusesToSend)
{
    auto [client, server] = connectPair();
    ASSERT_EQ(api().setLinger(server, true, 0), 0);
    ASSERT_EQ(api().closesocket(server), 0);
    ASSERT_TRUE(pumpUntil([&] { return log.has(client, event::Close); }));
    EXPECT_EQ(log.find(client, event::Close)->error, error::ConnectionReset);

    std::tie(client, server) = connectPair();
    ASSERT_EQ(api().shutdown(client, ShutdownDirection::Send), 0);
    EXPECT_EQ(api().send(client, "x", 1), SocketError);
    EXPECT_EQ(api().lastError(), error::Shutdown);
}

TEST_F(LoopbackSockets, UrgentBytesArriveInlineWhenAsked)
{
    const auto [client, server] = connectPair();
    ASSERT_EQ(api().setOption(server, SocketOption::OutOfBandInline, 1), 0);
    const char interrupt[] = {char(255), char(244), char(255), char(242)};
    ASSERT_EQ(api().send(client, interrupt, 4, SendOutOfBand), 4);
    ASSERT_EQ(api().send(client, "ABOR\r\n", 6), 6);
    EXPECT_EQ(receiveAll(server, 10), QByteArray(interrupt, 4) + "ABOR\r\n");
}

TEST_F(LoopbackSockets, ARefusedConnectionIsReportedThroughConnect)
{
    // A port that was just free: nothing listens there.
    const SocketHandle probe = openSocket();
    ASSERT_EQ(api().bind(probe, {kLoopback, 0}), 0);
    SocketAddress free;
    ASSERT_EQ(api().localAddress(probe, free), 0);
    ASSERT_EQ(api().closesocket(probe), 0);

    const SocketHandle client = openSocket();
    ASSERT_EQ(api().asyncSelect(client, log.window.handle(), kSocketMessage, kAllEvents), 0);
    EXPECT_EQ(api().connect(client, {kLoopback, free.port}), SocketError);
    EXPECT_EQ(api().lastError(), error::WouldBlock);
    ASSERT_TRUE(pumpUntil([&] { return log.has(client, event::Connect); }));
    EXPECT_EQ(log.find(client, event::Connect)->error, error::ConnectionRefused);
    EXPECT_FALSE(log.has(client, event::Write));
}

TEST_F(LoopbackSockets, HandlesAreNeverReusedAndStaleOnesAreRefused)
{
    const SocketHandle first = openSocket();
    ASSERT_EQ(api().closesocket(first), 0);
    const SocketHandle second = openSocket();
    EXPECT_NE(second, first);
    char buffer[4];
    EXPECT_EQ(api().recv(first, buffer, 4), SocketError);
    EXPECT_EQ(api().lastError(), error::NotSocket);
    EXPECT_EQ(api().recv(second, buffer, 4), SocketError);
    EXPECT_EQ(api().lastError(), error::NotConnected);
    EXPECT_EQ(api().accept(second, nullptr), InvalidSocket);
    EXPECT_EQ(api().lastError(), error::InvalidArgument);
}

TEST_F(LoopbackSockets, NamesAndAddressesResolve)
{
    EXPECT_EQ(api().parseAddress(QStringLiteral("10.1.2.3")), 0x0A010203u);
    EXPECT_EQ(api().parseAddress(QStringLiteral("server.example")), std::nullopt);
    EXPECT_EQ(api().parseAddress(QStringLiteral("1.2.3.4\u00e9")), std::nullopt);
    EXPECT_EQ(api().addressText(0xC0A80102u), QStringLiteral("192.168.1.2"));
    EXPECT_EQ(api().resolveHost(QStringLiteral("127.0.0.1")), kLoopback);
    EXPECT_EQ(api().resolveHost(QStringLiteral("localhost")), kLoopback);
    const auto name = api().hostName();
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->isEmpty());
}
