// The HTTPS control against a scripted server: the exact bytes of requests and firewall
// handshakes, replies cut at odd places, failures and interrupts.
#include "platform/sockets/MessageQueue.h"
#include "tests/https/HttpsTestSupport.h"
#include "tests/https/ScriptedPeer.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using kelvane::plexant::HTTPS;
using kelvane::test::EventLog;
using kelvane::test::raisedBy;
using kelvane::test::raisedCode;
using kelvane::test::ScriptedPeer;
using kelvane::test::useFirewall;

namespace {

QString printable(const QByteArray& bytes) { return QString::fromLatin1(bytes.toPercentEncoding(" /:;=,?*<>\r\n")); }

} // namespace

TEST(ScriptedExchanges, TrickledReplyIsParsedAndEveryEventComesInOrder)
{
    ScriptedPeer peer(QStringLiteral("get-trickled"));
    HTTPS control;
    EventLog log(control);
    control.setURL(QStringLiteral("https://other.test/"));
    control.Get(peer.url(QStringLiteral("/hello")));

    EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
    EXPECT_EQ(control.StatusLine(), QStringLiteral("HTTP/1.0 200 OK"));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("hello\r\n"));
    EXPECT_EQ(control.TransferredHeaders(),
              QStringLiteral("Content-Type: text/plain\r\nSet-Cookie: session=abc; path=/docs; Secure\r\n"));
    EXPECT_EQ(log.body, QByteArray("hello\r\n"));
    const QStringList expected {QStringLiteral("Connected 0 OK"),
                                QStringLiteral("Header Content-Type: text/plain"),
                                QStringLiteral("Header Set-Cookie: session=abc; path=/docs; Secure"),
                                QStringLiteral("SetCookie session=abc expires= domain= path=/docs secure=1"),
                                QStringLiteral("StartTransfer 1")};
    ASSERT_GE(log.lines.size(), expected.size() + 3);
    EXPECT_EQ(log.lines.mid(0, expected.size()), expected);
    // Trickled: the body comes in several pieces, then the end.
    EXPECT_GE(log.of(QStringLiteral("Transfer")).size(), 3);
    EXPECT_EQ(log.lines.mid(log.lines.size() - 2),
              (QStringList {QStringLiteral("EndTransfer 1"), QStringLiteral("Disconnected 0 OK")}));
    // Received cookies are not sent back by themselves.
    EXPECT_EQ(control.CookieCount(), 0);
}

TEST(ScriptedExchanges, LineEndsSplitOverReadsAndBareLineFeeds)
{
    ScriptedPeer peer(QStringLiteral("split-line-ends"));
    HTTPS control;
    EventLog log(control);
    control.Get(peer.url());
    EXPECT_EQ(control.StatusLine(), QStringLiteral("HTTP/1.0 200 OK"));
    EXPECT_EQ(log.of(QStringLiteral("Header")),
              (QStringList {QStringLiteral("Content-Length: 4"), QStringLiteral("X-Folded: one"), QStringLiteral(": two")}));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("ab\r\n"));
}

TEST(ScriptedExchanges, InterimRepliesAreSkipped)
{
    ScriptedPeer peer(QStringLiteral("interim-continue"));
    HTTPS control;
    EventLog log(control);
    control.Get(peer.url());
    EXPECT_EQ(control.StatusLine(), QStringLiteral("HTTP/1.1 200 OK"));
    EXPECT_EQ(control.TransferredHeaders(), QStringLiteral("Content-Length: 5\r\n"));
    EXPECT_EQ(log.of(QStringLiteral("Header")), QStringList {QStringLiteral("Content-Length: 5")});
    EXPECT_EQ(control.TransferredData(), QStringLiteral("hello"));
}

TEST(ScriptedExchanges, ChunkedRepliesAreDecodedAndBrokenFramingFails)
{
    {
        ScriptedPeer peer(QStringLiteral("chunked"));
        HTTPS control;
        EventLog log(control);
        control.setHTTPVersion(QStringLiteral("HTTP/1.1"));
        control.setTimeout(5);
        QElapsedTimer clock;
        clock.start();
        control.Get(peer.url());
        EXPECT_LT(clock.elapsed(), 3000); // complete with its last chunk, though the server stays
        EXPECT_TRUE(peer.received().startsWith("GET / HTTP/1.1\r\n"));
        EXPECT_EQ(control.TransferredData(), QStringLiteral("hello, world"));
        EXPECT_EQ(log.body, QByteArray("hello, world"));
        EXPECT_EQ(log.of(QStringLiteral("Transfer")).last(), QStringLiteral("1 12"));
    }
    const std::pair<const char*, int> broken[] = {
        {"chunked-bad-size", 158}, {"chunked-huge-size", 158}, {"chunked-endless-line", 158}, {"chunked-cut", 157}};
    for (const auto& [name, code] : broken) {
        ScriptedPeer peer(QString::fromLatin1(name));
        HTTPS control;
        control.setHTTPVersion(QStringLiteral("HTTP/1.1"));
        control.setTimeout(5);
        const auto raised = raisedBy([&] { control.Get(peer.url()); });
        EXPECT_EQ(raised.number, raisedCode(code)) << name << ' ' << raised.description.toStdString();
        EXPECT_FALSE(control.TransferredData().contains(QStringLiteral("more"))) << name;
    }
}

TEST(ScriptedExchanges, ZeroByteInTheHeadersRefusesTheReply)
{
    ScriptedPeer peer(QStringLiteral("zero-byte-cookie"));
    HTTPS control;
    EventLog log(control);
    const auto raised = raisedBy([&] { control.Get(peer.url()); });
    EXPECT_EQ(raised.number, raisedCode(158));
    EXPECT_EQ(raised.description, QStringLiteral("The reply's headers hold a zero byte."));
    EXPECT_EQ(log.of(QStringLiteral("Header")), QStringList {QStringLiteral("X-Fine: 1")});
    EXPECT_TRUE(log.of(QStringLiteral("SetCookie")).isEmpty());
    EXPECT_TRUE(log.of(QStringLiteral("StartTransfer")).isEmpty());
}

TEST(ScriptedExchanges, ReplyWithoutStatusLineIsAllBody)
{
    ScriptedPeer peer(QStringLiteral("no-status-line"));
    HTTPS control;
    EventLog log(control);
    control.Get(peer.url());
    EXPECT_EQ(control.StatusLine(), QString());
    EXPECT_EQ(control.TransferredData(), QStringLiteral("plain\nbody"));
    EXPECT_TRUE(log.of(QStringLiteral("StartTransfer")).isEmpty());
}

TEST(ScriptedExchanges, ServerThatNeverAnswersTimesOut)
{
    ScriptedPeer peer(QStringLiteral("never-answers"));
    HTTPS control;
    control.setTimeout(1);
    QElapsedTimer clock;
    clock.start();
    const auto raised = raisedBy([&] { control.Get(peer.url()); });
    EXPECT_EQ(raised.number, raisedCode(301));
    EXPECT_EQ(raised.description, QStringLiteral("Timeout."));
    EXPECT_EQ(raised.helpContext, 41803u);
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(control.Action(), 0);
}

TEST(ScriptedExchanges, QuitRequestOfTheHostEndsTheWaitAndStaysQueued)
{
    ScriptedPeer peer(QStringLiteral("never-answers"));
    HTTPS control;
    auto& queue = platform::sockets::MessageQueue::current();
    QTimer::singleShot(100, [&queue] { queue.postQuit(3); });
    EXPECT_EQ(raisedBy([&] { control.Get(peer.url()); }).number, raisedCode(301));
    const auto quit = queue.nextMessage(0);
    ASSERT_TRUE(quit);
    EXPECT_EQ(quit->message, platform::sockets::message::Quit);
    EXPECT_EQ(quit->wParam, 3u);
}

TEST(ScriptedExchanges, ErrorStatusFailsAfterTheWholeReply)
{
    ScriptedPeer peer(QStringLiteral("not-found"));
    HTTPS control;
    EventLog log(control);
    const auto raised = raisedBy([&] { control.Get(peer.url(QStringLiteral("/missing"))); });
    EXPECT_EQ(raised.number, raisedCode(151));
    EXPECT_EQ(raised.description, QStringLiteral("404 Not Found"));
    EXPECT_EQ(log.body, QByteArray("no such page\r\n"));
    EXPECT_EQ(control.URL(), peer.url(QStringLiteral("/missing")));
}

TEST(ScriptedExchanges, RedirectsFollowRelativeLocationsAndStopAfterTen)
{
    {
        ScriptedPeer peer(QStringLiteral("redirect-relative"));
        HTTPS control;
        EventLog log(control);
        control.setFollowRedirects(HTTPS::frAlways);
        control.Get(peer.url(QStringLiteral("/a/start")));
        EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
        EXPECT_EQ(control.TransferredData(), QStringLiteral("arrived\r\n"));
        EXPECT_EQ(control.URL(), peer.url(QStringLiteral("/a/b/c?x=1")));
        // Nothing of the redirect itself reaches the host.
        EXPECT_FALSE(log.body.contains("moved"));
    }
    {
        ScriptedPeer peer(QStringLiteral("redirect-loop"));
        HTTPS control;
        control.setFollowRedirects(HTTPS::frAlways);
        const auto raised = raisedBy([&] { control.Get(peer.url(QStringLiteral("/loop"))); });
        EXPECT_EQ(raised.number, raisedCode(151));
        EXPECT_EQ(raised.description, QStringLiteral("301 Moved"));
        EXPECT_EQ(peer.received().count("GET /loop"), 11);
    }
}

TEST(ScriptedExchanges, PostIsNeverRedirectedAndKeepsItsLocationHeader)
{
    ScriptedPeer peer(QStringLiteral("post-redirect"));
    HTTPS control;
    EventLog log(control);
    control.setFollowRedirects(HTTPS::frAlways);
    const auto raised = raisedBy([&] { control.Post(peer.url(QStringLiteral("/form"))); });
    EXPECT_EQ(raised.number, raisedCode(151));
    EXPECT_EQ(raised.description, QStringLiteral("303 See Other"));
    EXPECT_TRUE(log.of(QStringLiteral("Header")).contains(QStringLiteral("Location: /elsewhere")));
}

TEST(ScriptedExchanges, PostSendsHeadersPostDataAndTheAttachedFile)
{
    ScriptedPeer peer(QStringLiteral("post-attached"));
    const QString path = kelvane::test::scratchFolder() + QStringLiteral("/attached.xml");
    QFile attached(path);
    ASSERT_TRUE(attached.open(QIODevice::WriteOnly));
    QByteArray content;
    for (int i = 0; i < 4999; ++i)
        content += char('A' + i % 26);
    attached.write(content);
    attached.close();

    HTTPS control;
    EventLog log(control);
    control.setUser(QStringLiteral("user"));
    control.setPassword(QStringLiteral("secret"));
    control.setIfModifiedSince(QStringLiteral("Sat, 29 Oct 1994 19:43:31 GMT"));
    control.AddCookie(QStringLiteral("a"), QStringLiteral("1"));
    control.AddCookie(QStringLiteral("b"), QStringLiteral("2"));
    control.setOtherHeaders(QStringLiteral("X-Trace: 7\r\n\r\n"));
    control.setContentType(QStringLiteral("text/xml"));
    control.setPostData(QStringLiteral("<?x?>"));
    control.setAttachedFile(path);
    // A URL without credentials for the same server keeps the ones set.
    control.Post(peer.url(QStringLiteral("/upload")));

    EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
    const QStringList sent = log.of(QStringLiteral("Transfer"));
    ASSERT_EQ(sent.size(), 3); // three blocks of the file
    EXPECT_EQ(sent.last(), QStringLiteral("0 4999"));
    EXPECT_EQ(log.of(QStringLiteral("StartTransfer")), (QStringList {QStringLiteral("0"), QStringLiteral("1")}));
    EXPECT_EQ(log.of(QStringLiteral("EndTransfer")), (QStringList {QStringLiteral("0"), QStringLiteral("1")}));

    control.setAttachedFile(path + QStringLiteral(".missing"));
    const auto raised = raisedBy([&] { control.Post(peer.url(QStringLiteral("/upload"))); });
    EXPECT_EQ(raised.number, raisedCode(302));
}

TEST(ScriptedExchanges, ProxyRequestCarriesTheAbsoluteUrlAndTheProxyCredentials)
{
    ScriptedPeer peer(QStringLiteral("proxy-request"));
    HTTPS control;
    control.setProxyServer(QStringLiteral("127.0.0.1"));
    control.setProxyPort(peer.port());
    control.setProxyUser(QStringLiteral("proxy"));
    control.setProxyPassword(QStringLiteral("pw"));
    control.setOtherHeaders(QStringLiteral("Host: origin.test:8080\n"));
    control.Get(QStringLiteral("http://origin.test/p?q"));
    EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("via proxy\r\n"));
}

TEST(ScriptedExchanges, SocksFiveHandshakesByNameAndWithCredentials)
{
    {
        ScriptedPeer peer(QStringLiteral("socks5-domain"));
        HTTPS control;
        control.setFirewallType(HTTPS::fwSOCKS5);
        EXPECT_EQ(control.FirewallPort(), 1080);
        control.setFirewallHost(QStringLiteral("127.0.0.1"));
        control.setFirewallPort(peer.port());
        control.setFirewallUser(QStringLiteral("only-a-user")); // without a password: no authentication offered
        control.Get(QStringLiteral("http://*example.test:8080/"));
        EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
        EXPECT_EQ(control.StatusLine(), QStringLiteral("HTTP/1.0 200 OK"));
        EXPECT_EQ(control.TransferredData(), QStringLiteral("socks"));
    }
    {
        ScriptedPeer peer(QStringLiteral("socks5-auth"));
        HTTPS control;
        useFirewall(control, HTTPS::fwSOCKS5, peer.port());
        control.setFirewallUser(QStringLiteral("user"));
        control.setFirewallPassword(QStringLiteral("secret"));
        control.Get(QStringLiteral("http://127.0.0.1:8080/"));
        EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
        EXPECT_EQ(control.TransferredData(), QStringLiteral("authenticated\r\n"));
    }
}

TEST(ScriptedExchanges, FirewallRefusalsFailWithTheirTexts)
{
    {
        ScriptedPeer peer(QStringLiteral("socks4-rejected"));
        HTTPS control;
        EventLog log(control);
        useFirewall(control, HTTPS::fwSOCKS4, peer.port());
        control.setFirewallUser(QStringLiteral("user"));
        const auto raised = raisedBy([&] { control.Get(QStringLiteral("http://127.0.0.1:8080/")); });
        EXPECT_EQ(raised.number, raisedCode(118));
        EXPECT_EQ(raised.description, QStringLiteral("firewall request rejected or failed"));
        EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
        EXPECT_TRUE(log.lines.contains(QStringLiteral("Error 118 firewall request rejected or failed")));
    }
    {
        ScriptedPeer peer(QStringLiteral("tunnel-refused"));
        HTTPS control;
        useFirewall(control, HTTPS::fwTunnel, peer.port());
        control.setFirewallUser(QStringLiteral("u"));
        control.setFirewallPassword(QStringLiteral("p"));
        const auto raised = raisedBy([&] { control.Get(QStringLiteral("https://secure.test/")); });
        EXPECT_EQ(raised.number, raisedCode(118));
        EXPECT_TRUE(raised.description.startsWith(QStringLiteral("HTTP/1.0 407 Proxy Authentication Required")))
            << raised.description.toStdString();
        EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol()));
    }
    const std::pair<const char*, const char*> socks5[] = {
        {"socks5-unoffered-method", "unknown firewall authentication method"},
        {"socks5-bad-version", "firewall reply of an unknown SOCKS version: 0"}};
    for (const auto& [name, text] : socks5) {
        ScriptedPeer peer(QString::fromLatin1(name));
        HTTPS control;
        control.setTimeout(5);
        useFirewall(control, HTTPS::fwSOCKS5, peer.port());
        const auto raised = raisedBy([&] { control.Get(QStringLiteral("http://127.0.0.1:8080/")); });
        EXPECT_EQ(raised.number, raisedCode(118)) << name;
        EXPECT_EQ(raised.description, QString::fromLatin1(text)) << name;
        EXPECT_EQ(printable(peer.received()), printable(peer.expectedProtocol())) << name;
    }
}

TEST(ScriptedExchanges, OverlongHeaderLineFailsCleanlyWithOneEventPerFact)
{
    ScriptedPeer peer(QStringLiteral("long-header"));
    HTTPS control;
    EventLog log(control);
    const auto raised = raisedBy([&] { control.Get(peer.url()); });
    EXPECT_EQ(raised.number, raisedCode(10055));
    EXPECT_EQ(raised.description, QStringLiteral("Received line is too long."));
    EXPECT_EQ(control.Action(), 0);
    EXPECT_EQ(log.of(QStringLiteral("Error")), QStringList {QStringLiteral("10055 Received line is too long.")});
    // The reply's body never started, so it does not end either.
    EXPECT_TRUE(log.of(QStringLiteral("StartTransfer")).isEmpty());
    EXPECT_TRUE(log.of(QStringLiteral("EndTransfer")).isEmpty());
    EXPECT_EQ(log.of(QStringLiteral("Disconnected")).size(), 1);
}

TEST(ScriptedExchanges, InterruptFromAnEventHandlerEndsTheAction)
{
    ScriptedPeer peer(QStringLiteral("headers-then-hang"));
    HTTPS control;
    EventLog log(control);
    log.onHeader = [&] { control.Interrupt(); };
    const auto raised = raisedBy([&] { control.Get(peer.url()); });
    EXPECT_EQ(raised.number, raisedCode(301));
    EXPECT_EQ(raised.description, QStringLiteral("Interrupted."));
    EXPECT_EQ(control.Action(), 0);
    EXPECT_FALSE(control.Connected());
}

TEST(ScriptedExchanges, BodyBeyondTheLimitStillReachesTheEvents)
{
    ScriptedPeer peer(QStringLiteral("body-limit"));
    HTTPS control;
    EventLog log(control);
    control.setMaxTransferredData(10);
    // An interrupt of another control on this thread leaves this one alone.
    HTTPS other;
    log.onTransfer = [&] { other.Interrupt(); };
    control.Get(peer.url());
    EXPECT_EQ(control.TransferredData(), QStringLiteral("0123456789"));
    EXPECT_EQ(log.body.size(), 24);
}

TEST(ScriptedExchanges, RefusedConnectionIsASocketError)
{
    quint16 closedPort = 0;
    {
        ScriptedPeer peer(QStringLiteral("never-answers"));
        closedPort = peer.port();
    }
    HTTPS control;
    EventLog log(control);
    const auto raised = raisedBy([&] { control.Get(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort)); });
    EXPECT_EQ(raised.number, 10061 + 15001);
    EXPECT_EQ(raised.description, QStringLiteral("[10061] Connection refused"));
    EXPECT_EQ(log.lines, QStringList {QStringLiteral("Connected 10061 [10061] Connection refused")});
}
