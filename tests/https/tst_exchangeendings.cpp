// How an exchange ends: with the server's close, a complete announced length or the TLS
// close_notify, and never with a connection left for the next request; a time limit that
// holds whatever the server sends, and caps on what a reply may make the control keep.
#include "https/ResultCodes.h"
#include "tests/https/HttpsTestSupport.h"
#include "tests/https/PeakMemory.h"
#include "tests/https/ScriptedPeer.h"
#include "tests/https/TestCertificates.h"
#include "tests/https/TlsPeer.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

using kelvane::plexant::HTTPS;
using kelvane::test::EventLog;
using kelvane::test::peakMemoryGrowthMiB;
using kelvane::test::raisedBy;
using kelvane::test::raisedCode;
using kelvane::test::ScriptedPeer;
using kelvane::test::useFirewall;
using kelvane::test::TlsPeer;
namespace code = kelvane::plexant::code;

namespace {

constexpr qint64 kMemoryCapMiB = 64;

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whatever the peer keeps sending, the action ends near its time limit (or sooner), with
// the memory it took bounded.
struct Bounded {
    kelvane::test::RaisedError raised;
    qint64 elapsedMs = 0;
    qint64 memoryMiB = 0;
};

Bounded runBounded(const std::function<void()>& action)
{
    Bounded outcome;
    QElapsedTimer clock;
    clock.start();
    outcome.memoryMiB = peakMemoryGrowthMiB([&] { outcome.raised = raisedBy(action); });
    outcome.elapsedMs = clock.elapsed();
    return outcome;
}

// Transfer events counted, not kept: an endless body must not fill the test's own memory.
struct TransferCounter {
    explicit TransferCounter(HTTPS& control)
    {
        QObject::connect(&control, &HTTPS::Transfer, &control, [this](qint16& direction, qint32&, QString& text) {
            if (direction == 1)
                bytes += text.size();
        });
    }
    qint64 bytes = 0;
};

} // namespace

TEST(ExchangeEndings, ReplyThatNeverClosesLeavesNothingForTheNextRequest)
{
    ScriptedPeer first(QStringLiteral("never-closes"));
    ScriptedPeer second(QStringLiteral("hello"));
    HTTPS control;
    control.setTimeout(2);
    const auto raised = raisedBy([&] { control.Get(first.url(QStringLiteral("/one"))); });
    EXPECT_EQ(raised.number, raisedCode(code::Interrupted));
    EXPECT_EQ(raised.description, QStringLiteral("Timeout."));
    EXPECT_FALSE(control.Connected());

    // The next request goes to its own server over a connection of its own.
    control.Get(second.url(QStringLiteral("/two")));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("hello from the second server\r\n"));
    EXPECT_TRUE(second.received().startsWith("GET /two HTTP/1.0\r\n"));
    EXPECT_EQ(first.received().count("GET "), 1);
}

TEST(ExchangeEndings, AnnouncedLengthIsHeldToBothWays)
{
    {
        ScriptedPeer peer(QStringLiteral("length-short"));
        HTTPS control;
        EventLog log(control);
        const auto raised = raisedBy([&] { control.Get(peer.url()); });
        EXPECT_EQ(raised.number, raisedCode(code::Truncated));
        EXPECT_EQ(raised.description, QStringLiteral("The connection closed after 500 of the 1000 bytes the server announced."));
        EXPECT_EQ(log.body.size(), 500);
    }
    {
        // Complete at its length: nothing after it is taken, and the server need not close.
        ScriptedPeer peer(QStringLiteral("length-long"));
        HTTPS control;
        EventLog log(control);
        control.setTimeout(5);
        control.setMaxTransferredData(0);
        control.setLocalFile(kelvane::test::scratchFolder() + QStringLiteral("/length-long.copy"));
        QElapsedTimer clock;
        clock.start();
        control.Get(peer.url());
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_EQ(control.TransferredData(), QString(100, QLatin1Char('L')));
        EXPECT_EQ(log.body, QByteArray(100, 'L'));
        EXPECT_EQ(log.of(QStringLiteral("Transfer")).last(), QStringLiteral("1 100"));
        EXPECT_EQ(fileContent(control.LocalFile()), QByteArray(100, 'L'));
        EXPECT_EQ(log.lines.mid(log.lines.size() - 2),
                  (QStringList {QStringLiteral("EndTransfer 1"), QStringLiteral("Disconnected 0 OK")}));
        EXPECT_FALSE(control.Connected());
    }
    for (const char* name : {"length-contradicting", "length-negative"}) {
        // A length that cannot be told is a broken reply, not one that runs to the close.
        ScriptedPeer peer(QString::fromLatin1(name));
        HTTPS control;
        EventLog log(control);
        const auto raised = raisedBy([&] { control.Get(peer.url()); });
        EXPECT_EQ(raised.number, raisedCode(code::BadReply)) << name;
        EXPECT_EQ(raised.description, QStringLiteral("The reply's length cannot be told from its headers.")) << name;
        EXPECT_TRUE(log.body.isEmpty()) << name;
        EXPECT_TRUE(log.of(QStringLiteral("StartTransfer")).isEmpty()) << name;
    }
}

TEST(ExchangeEndings, ReplyCutOffInItsHeadersFails)
{
    for (const char* name : {"headers-cut", "header-line-cut", "redirect-headers-cut"}) {
        ScriptedPeer peer(QString::fromLatin1(name));
        HTTPS control;
        EventLog log(control);
        control.setTimeout(3);
        control.setFollowRedirects(HTTPS::frAlways);
        const auto raised = raisedBy([&] { control.Get(peer.url()); });
        EXPECT_EQ(raised.number, raisedCode(code::Truncated)) << name;
        EXPECT_EQ(raised.description, QStringLiteral("The connection closed before the end of the reply's headers.")) << name;
        // No reply was delivered, and a cut-off redirect is not followed.
        EXPECT_TRUE(log.of(QStringLiteral("StartTransfer")).isEmpty()) << name;
        EXPECT_EQ(peer.received().count("GET "), 1) << name;
        EXPECT_FALSE(control.Connected()) << name;
    }
}

TEST(ExchangeEndings, TimeLimitHoldsWhileTheBodyNeverEnds)
{
    ScriptedPeer peer(QStringLiteral("endless-body"));
    HTTPS control;
    TransferCounter counted(control);
    control.setTimeout(2);
    const Bounded outcome = runBounded([&] { control.Get(peer.url()); });
    EXPECT_EQ(outcome.raised.number, raisedCode(code::Interrupted));
    EXPECT_EQ(outcome.raised.description, QStringLiteral("Timeout."));
    EXPECT_GE(outcome.elapsedMs, 1900);
    EXPECT_LT(outcome.elapsedMs, 3000);
    EXPECT_LT(outcome.memoryMiB, kMemoryCapMiB);
    EXPECT_GT(counted.bytes, 0);
    EXPECT_EQ(control.TransferredData().size(), 4096);
    EXPECT_FALSE(control.Connected());
}

TEST(ExchangeEndings, TimeLimitHoldsWhileTheListenerIsSlowerThanTheServer)
{
    // The server always has more waiting than one read takes, so the read loop never runs dry.
    ScriptedPeer peer(QStringLiteral("endless-body"));
    HTTPS control;
    control.setTimeout(1);
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&control, &HTTPS::Transfer, &control, [&](qint16&, qint32&, QString&) {
        QThread::msleep(5);
        if (clock.elapsed() > 8000) // a read loop that does not stop at the deadline
            control.Interrupt();
    });
    const auto raised = raisedBy([&] { control.Get(peer.url()); });
    EXPECT_EQ(raised.description, QStringLiteral("Timeout."));
    EXPECT_LT(clock.elapsed(), 3000);
}

TEST(ExchangeEndings, HeaderFloodsFailAtTheirCaps)
{
    {
        ScriptedPeer peer(QStringLiteral("header-flood"));
        HTTPS control;
        EventLog log(control);
        control.setTimeout(5);
        const Bounded outcome = runBounded([&] { control.Get(peer.url()); });
        EXPECT_EQ(outcome.raised.number, raisedCode(10055));
        EXPECT_EQ(outcome.raised.description, QStringLiteral("Received headers are too long."));
        EXPECT_LT(outcome.elapsedMs, 6000);
        EXPECT_LT(outcome.memoryMiB, kMemoryCapMiB);
        EXPECT_LE(control.TransferredHeaders().size(), 256 * 1024);
        EXPECT_EQ(log.of(QStringLiteral("Error")), QStringList {QStringLiteral("10055 Received headers are too long.")});
    }
    for (const char* name : {"tunnel-flood", "tunnel-no-blank", "tunnel-only-blanks"}) {
        // A tunnel's proxy that never ends its reply, whatever the reply holds: the cap ends
        // it long before the time limit.
        ScriptedPeer peer(QString::fromLatin1(name));
        HTTPS control;
        control.setTimeout(10);
        useFirewall(control, HTTPS::fwTunnel, peer.port());
        const Bounded outcome = runBounded([&] { control.Get(QStringLiteral("https://secure.test/")); });
        EXPECT_EQ(outcome.raised.number, raisedCode(code::FirewallFailed)) << name;
        EXPECT_EQ(outcome.raised.description, QStringLiteral("firewall reply too long")) << name;
        EXPECT_LT(outcome.elapsedMs, 8000) << name;
        EXPECT_LT(outcome.memoryMiB, kMemoryCapMiB) << name;
    }
}

TEST(ExchangeEndings, SilentFirewallTimesOutAsATimeOut)
{
    for (const QString& url : {QStringLiteral("http://127.0.0.1:8080/"), QStringLiteral("https://127.0.0.1:8443/")}) {
        ScriptedPeer peer(QStringLiteral("silent-firewall"));
        HTTPS control;
        EventLog log(control);
        control.setTimeout(1);
        useFirewall(control, HTTPS::fwSOCKS5, peer.port());
        const auto raised = raisedBy([&] { control.Get(url); });
        EXPECT_EQ(raised.number, raisedCode(code::Interrupted)) << url.toStdString();
        EXPECT_EQ(raised.description, QStringLiteral("Timeout.")) << url.toStdString();
        EXPECT_EQ(log.of(QStringLiteral("Connected")), QStringList {QStringLiteral("301 Timeout.")}) << url.toStdString();
        EXPECT_TRUE(log.of(QStringLiteral("Error")).isEmpty()) << url.toStdString();
    }
}

TEST(ExchangeEndings, SocksAnswersThatArriveTogetherAreAllRead)
{
    ScriptedPeer peer(QStringLiteral("socks5-together"));
    HTTPS control;
    control.setTimeout(5);
    useFirewall(control, HTTPS::fwSOCKS5, peer.port());
    control.setFirewallUser(QStringLiteral("user"));
    control.setFirewallPassword(QStringLiteral("secret"));
    control.Get(QStringLiteral("http://127.0.0.1:8080/"));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("together"));
    EXPECT_EQ(peer.received(), peer.expectedProtocol());
}

// Over TLS, against a server of the test's own.
class TlsEndings : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const QString folder = kelvane::test::scratchFolder() + QStringLiteral("/tls-endings");
        QDir().mkpath(folder);
        certificates = std::make_unique<kelvane::test::TestCertificates>(folder);
        qputenv("SSL_CERT_FILE", certificates->authority().toLocal8Bit());
        qputenv("SSL_CERT_DIR", folder.toLocal8Bit());
    }
    static void TearDownTestSuite() { certificates.reset(); }

    static std::unique_ptr<TlsPeer> peer(const QByteArray& reply, TlsPeer::Ending ending, const QByteArray& repeated = {})
    {
        return std::make_unique<TlsPeer>(certificates->certificate(QStringLiteral("good")),
                                         certificates->key(QStringLiteral("good")), reply, ending, repeated);
    }

    static inline std::unique_ptr<kelvane::test::TestCertificates> certificates;
};

TEST_F(TlsEndings, CloseNotifyEndsTheReplyAndIsAnswered)
{
    const auto server = peer("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nsealed", TlsPeer::Ending::CloseNotifyThenWait);
    HTTPS control;
    EventLog log(control);
    control.setTimeout(5);
    QElapsedTimer clock;
    clock.start();
    control.Get(server->url());
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(control.TransferredData(), QStringLiteral("sealed"));
    EXPECT_TRUE(log.of(QStringLiteral("SSLStatus")).contains(QStringLiteral("Server signaled end of session.")));
    EXPECT_EQ(log.lines.mid(log.lines.size() - 2),
              (QStringList {QStringLiteral("EndTransfer 1"), QStringLiteral("Disconnected 0 OK")}));
    EXPECT_TRUE(server->clientSentCloseNotify());
}

TEST_F(TlsEndings, CloseWithoutCloseNotifyBeforeTheLengthFails)
{
    const auto server = peer("HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(500, 'x'), TlsPeer::Ending::AbruptClose);
    HTTPS control;
    const auto raised = raisedBy([&] { control.Get(server->url()); });
    EXPECT_EQ(raised.number, raisedCode(code::Truncated));
    EXPECT_EQ(raised.description, QStringLiteral("The connection closed after 500 of the 1000 bytes the server announced."));
}

TEST_F(TlsEndings, ReplyCutOffInItsHeadersFailsWithOrWithoutCloseNotify)
{
    for (const auto ending : {TlsPeer::Ending::AbruptClose, TlsPeer::Ending::CloseNotifyThenWait}) {
        const auto server = peer("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n", ending);
        HTTPS control;
        control.setTimeout(5);
        const auto raised = raisedBy([&] { control.Get(server->url()); });
        EXPECT_EQ(raised.number, raisedCode(code::Truncated));
        EXPECT_EQ(raised.description, QStringLiteral("The connection closed before the end of the reply's headers."));
    }
}

TEST_F(TlsEndings, EndlessBodyAndEndlessLineStopInTimeAndMemory)
{
    {
        const auto server = peer("HTTP/1.0 200 OK\r\n\r\n", TlsPeer::Ending::Endless, QByteArray(64 * 1024, 'b'));
        HTTPS control;
        TransferCounter counted(control);
        control.setTimeout(2);
        const Bounded outcome = runBounded([&] { control.Get(server->url()); });
        EXPECT_EQ(outcome.raised.description, QStringLiteral("Timeout."));
        EXPECT_GE(outcome.elapsedMs, 1900);
        EXPECT_LT(outcome.elapsedMs, 3000);
        EXPECT_LT(outcome.memoryMiB, kMemoryCapMiB);
        EXPECT_GT(counted.bytes, 0);
    }
    {
        const auto server = peer("HTTP/1.0 200 OK\r\nX-Long: ", TlsPeer::Ending::Endless, QByteArray(64 * 1024, 'h'));
        HTTPS control;
        EventLog log(control);
        control.setTimeout(5);
        const Bounded outcome = runBounded([&] { control.Get(server->url()); });
        EXPECT_EQ(outcome.raised.number, raisedCode(10055));
        EXPECT_EQ(outcome.raised.description, QStringLiteral("Received line is too long."));
        EXPECT_LT(outcome.elapsedMs, 3000);
        EXPECT_LT(outcome.memoryMiB, kMemoryCapMiB);
        EXPECT_EQ(log.of(QStringLiteral("Error")).size(), 1);
    }
}
