// The HTTPS control through real proxies and firewalls on 127.0.0.1: tinyproxy for proxied
// requests and CONNECT tunnels, dante for SOCKS4 and SOCKS5, microsocks for SOCKS5 with a
// user name and password; nginx behind them.
#include "tests/https/HttpsTestSupport.h"
#include "tests/https/NginxFixture.h"
#include "tests/https/ProxyServers.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

using kelvane::plexant::HTTPS;
using kelvane::test::raisedBy;
using kelvane::test::raisedCode;
using kelvane::test::SocksServer;
using kelvane::test::TinyProxy;
using kelvane::test::useFirewall;

namespace {

class ProxyExchanges : public kelvane::test::NginxFixture {};

} // namespace

TEST_F(ProxyExchanges, ProxiedRequestsAndTunnelsThroughTinyproxy)
{
    TinyProxy proxy;
    ASSERT_TRUE(proxy.start()) << proxy.log().toStdString();
    const QString secure = server->secureUrl(QStringLiteral("good"), QStringLiteral("/hello.txt"));

    HTTPS proxied;
    proxied.setProxyServer(QStringLiteral("127.0.0.1"));
    proxied.setProxyPort(proxy.port());
    proxied.Get(server->url(QStringLiteral("/hello.txt")));
    EXPECT_EQ(proxied.TransferredData(), QStringLiteral("hello world\n"));
    // Redirects are followed to http and https only.
    proxied.setFollowRedirects(HTTPS::frAlways);
    const auto toFtp = raisedBy([&] { proxied.Get(server->url(QStringLiteral("/to-ftp"))); });
    EXPECT_EQ(toFtp.number, raisedCode(151));
    EXPECT_EQ(toFtp.description, QStringLiteral("302 Moved Temporarily"));
    EXPECT_FALSE(proxy.log().contains(QStringLiteral("ftp://"))) << proxy.log().toStdString();
    proxied.setFollowRedirects(HTTPS::frNever);

    // Through a tunnel the server sees the request as if direct, without the proxy's credentials.
    HTTPS tunnelled;
    tunnelled.setProxyServer(QStringLiteral("127.0.0.1"));
    tunnelled.setProxyPort(proxy.port());
    tunnelled.setProxySSL(HTTPS::psTunnel);
    tunnelled.setProxyUser(QStringLiteral("proxy-user"));
    tunnelled.setProxyPassword(QStringLiteral("proxy-secret"));
    tunnelled.Get(secure);
    EXPECT_EQ(tunnelled.TransferredData(), QStringLiteral("hello world\n"));
    EXPECT_TRUE(proxy.log().contains(QStringLiteral("CONNECT localhost:%1 HTTP/1.0").arg(server->tlsPort(QStringLiteral("good")))))
        << proxy.log().toStdString();
    EXPECT_TRUE(logged(QStringLiteral("GET /hello.txt HTTP/1.0|localhost|")).endsWith(QStringLiteral("|-")));
}

TEST_F(ProxyExchanges, TunnelWithAndWithoutCredentials)
{
    TinyProxy proxy(QStringLiteral("tunnel"), QStringLiteral("passage"));
    ASSERT_TRUE(proxy.start()) << proxy.log().toStdString();
    const QString secure = server->secureUrl(QStringLiteral("good"), QStringLiteral("/hello.txt"));

    HTTPS refused;
    useFirewall(refused, HTTPS::fwTunnel, proxy.port());
    const auto raised = raisedBy([&] { refused.Get(secure); });
    EXPECT_EQ(raised.number, 118 + 20001);
    EXPECT_TRUE(raised.description.contains(QStringLiteral(" 407 "))) << raised.description.toStdString();

    HTTPS allowed;
    useFirewall(allowed, HTTPS::fwTunnel, proxy.port());
    allowed.setFirewallUser(QStringLiteral("tunnel"));
    allowed.setFirewallPassword(QStringLiteral("passage"));
    allowed.Get(secure);
    EXPECT_EQ(allowed.TransferredData(), QStringLiteral("hello world\n"));
}

TEST_F(ProxyExchanges, SocksFourAndFiveThroughDante)
{
    SocksServer socks = SocksServer::dante();
    ASSERT_TRUE(socks.start()) << socks.log().toStdString();

    HTTPS four;
    useFirewall(four, HTTPS::fwSOCKS4, socks.port());
    four.Get(server->url(QStringLiteral("/hello.txt")));
    EXPECT_EQ(four.TransferredData(), QStringLiteral("hello world\n"));

    HTTPS five;
    useFirewall(five, HTTPS::fwSOCKS5, socks.port());
    five.Get(server->secureUrl(QStringLiteral("good"), QStringLiteral("/hello.txt"), QStringLiteral("127.0.0.1")));
    EXPECT_EQ(five.TransferredData(), QStringLiteral("hello world\n"));
    // Dante logged both connections it made for us.
    for (const quint16 port : {server->port(), server->tlsPort(QStringLiteral("good"))})
        EXPECT_TRUE(socks.log().contains(QStringLiteral(" 127.0.0.1.%1\n").arg(port))) << socks.log().toStdString();
}

TEST_F(ProxyExchanges, SocksFiveWithUserNameAndPassword)
{
    SocksServer socks = SocksServer::withCredentials(QStringLiteral("ann"), QStringLiteral("pw"));
    ASSERT_TRUE(socks.start());

    HTTPS control;
    useFirewall(control, HTTPS::fwSOCKS5, socks.port());
    control.setFirewallUser(QStringLiteral("ann"));
    control.setFirewallPassword(QStringLiteral("wrong"));
    const auto raised = raisedBy([&] { control.Get(server->url(QStringLiteral("/hello.txt"))); });
    EXPECT_EQ(raised.number, 118 + 20001);
    EXPECT_TRUE(raised.description.startsWith(QStringLiteral("firewall authentication failed: "))) << raised.description.toStdString();

    control.setFirewallPassword(QStringLiteral("pw"));
    control.Get(server->url(QStringLiteral("/hello.txt")));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("hello world\n"));
}
