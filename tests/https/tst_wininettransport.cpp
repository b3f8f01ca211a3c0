// The second transport: actions started through Action with UseWinInet set run on a worker
// thread through the platform's HTTP client; their events still arrive on the control's thread.
#include "tests/https/HttpsTestSupport.h"
#include "tests/https/NginxFixture.h"
#include "tests/https/ScriptedPeer.h"
#include "tests/support/QStringPrinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using kelvane::plexant::HTTPS;
using kelvane::test::EventLog;
using kelvane::test::raisedBy;
using kelvane::test::ScriptedPeer;

namespace {

class WinInetTransport : public kelvane::test::NginxFixture {};

} // namespace

TEST_F(WinInetTransport, ActionRunsOnTheWorkerWhileMethodsUseTheOwnLayers)
{
    HTTPS control;
    EventLog log(control);
    const QThread* controlThread = QThread::currentThread();
    const QThread* eventThread = nullptr;
    log.onTransfer = [&] { eventThread = QThread::currentThread(); };
    control.setUseWinInet(true);
    control.setLocalFile(kelvane::test::scratchFolder() + QStringLiteral("/wininet.copy"));
    control.setURL(server->url(QStringLiteral("/hello.txt")));
    control.setAction(HTTPS::httpGet);

    EXPECT_EQ(eventThread, controlThread);
    EXPECT_EQ(log.body, QByteArray("hello world\n"));
    EXPECT_TRUE(control.StatusLine().endsWith(QStringLiteral(" 200 OK")));
    EXPECT_TRUE(control.TransferredData().isEmpty());
    EXPECT_TRUE(log.of(QStringLiteral("Connected")).isEmpty());
    EXPECT_TRUE(log.of(QStringLiteral("Header")).contains(QStringLiteral("Content-Length: 12")));
    EXPECT_TRUE(log.of(QStringLiteral("SSLStatus")).contains(QStringLiteral("Successfully connected to")));
    EXPECT_EQ(log.of(QStringLiteral("EndTransfer")), QStringList {QStringLiteral("1")});
    QFile copy(control.LocalFile());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("hello world\n"));

    log.lines.clear();
    control.setLocalFile({});
    control.Get(server->url(QStringLiteral("/hello.txt")));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("hello world\n"));
    EXPECT_EQ(log.of(QStringLiteral("Connected")), QStringList {QStringLiteral("0 OK")});
}

TEST_F(WinInetTransport, PostsVerifiesCertificatesAndKeepsCookies)
{
    HTTPS control;
    control.setUseWinInet(true);
    control.setPostData(QStringLiteral("a=1&b=2"));
    control.setURL(server->url(QStringLiteral("/post")));
    control.setAction(HTTPS::httpPost);
    EXPECT_TRUE(logged(QStringLiteral("POST /post")).contains(QStringLiteral("|7|a=1&b=2|")));

    control.setURL(server->secureUrl(QStringLiteral("wrong"), QStringLiteral("/hello.txt")));
    const auto refused = raisedBy([&] { control.setAction(HTTPS::httpGet); });
    EXPECT_EQ(refused.number, 12037 + 15001);
    EXPECT_EQ(refused.description, QStringLiteral("The Certificate has an Invalid Name, or different from Host Name."));
    control.setSSLSecurityFlags(qint32(0x80000000));
    control.setAction(HTTPS::httpGet);

    // The transport keeps the cookies it was given, unless the caller sends its own.
    control.setURL(server->secureUrl(QStringLiteral("good"), QStringLiteral("/cookie")));
    control.setAction(HTTPS::httpGet);
    control.setURL(server->secureUrl(QStringLiteral("good"), QStringLiteral("/hello.txt?again")));
    control.setAction(HTTPS::httpGet);
    EXPECT_TRUE(logged(QStringLiteral("GET /hello.txt?again")).contains(QStringLiteral("|session=42|")));
    control.setOtherHeaders(QStringLiteral("Cookie: mine=1"));
    control.setURL(server->secureUrl(QStringLiteral("good"), QStringLiteral("/hello.txt?own")));
    control.setAction(HTTPS::httpGet);
    EXPECT_TRUE(logged(QStringLiteral("GET /hello.txt?own")).contains(QStringLiteral("|mine=1|")));
}

TEST_F(WinInetTransport, TimeOutStopsTheWorkerWithoutKillingIt)
{
    ScriptedPeer peer(QStringLiteral("never-answers"));
    HTTPS control;
    control.setUseWinInet(true);
    control.setTimeout(1);
    control.setURL(peer.url());
    QElapsedTimer clock;
    clock.start();
    const auto raised = raisedBy([&] { control.setAction(HTTPS::httpGet); });
    EXPECT_EQ(raised.number, 301 + 20001);
    EXPECT_EQ(raised.description, QStringLiteral("Timeout."));
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(control.Action(), 0);

    // The next action runs as usual.
    control.setTimeout(0);
    control.setURL(server->url(QStringLiteral("/hello.txt")));
    control.setAction(HTTPS::httpHead);
    EXPECT_TRUE(control.StatusLine().endsWith(QStringLiteral(" 200 OK")));
}
