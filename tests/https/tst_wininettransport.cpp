// The second transport: actions started through Action with UseWinInet set run on a worker
// thread through the platform's HTTP client; their events still arrive on the control's thread.
#include "https/CertificateHandles.h"
#include "tests/https/HttpsTestSupport.h"
#include "tests/https/NginxFixture.h"
#include "tests/https/ScriptedPeer.h"
#include "tests/https/TlsPeer.h"
#include "tests/support/QStringPrinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <openssl/pem.h>

using kelvane::plexant::HTTPS;
using kelvane::test::EventLog;
using kelvane::test::raisedBy;
using kelvane::test::raisedCode;
using kelvane::test::ScriptedPeer;
using kelvane::test::TlsPeer;

namespace {

class WinInetTransport : public kelvane::test::NginxFixture {};

bool eventually(const std::function<bool()>& condition)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < 3000)
        QThread::msleep(5);
    return condition();
}

// The test client certificate with its key, as a handle the control can select.
qint32 clientCertificateHandle(const kelvane::test::TestCertificates& certificates)
{
    using namespace kelvane::plexant;
    const auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray certificate = read(certificates.certificate(QStringLiteral("client")));
    const QByteArray key = read(certificates.key(QStringLiteral("client")));
    BIO* certificateBio = BIO_new_mem_buf(certificate.constData(), int(certificate.size()));
    BIO* keyBio = BIO_new_mem_buf(key.constData(), int(key.size()));
    X509Ptr x509(PEM_read_bio_X509(certificateBio, nullptr, nullptr, nullptr));
    KeyPtr privateKey(PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr));
    BIO_free(certificateBio);
    BIO_free(keyBio);
    return certificateHandles::add(std::make_shared<Certificate>(std::move(x509), std::move(privateKey)));
}

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

TEST_F(WinInetTransport, RedirectsFollowTheOwnEnginesRules)
{
    HTTPS control;
    control.setUseWinInet(true);
    // Not asked to follow: the redirect is the answer, as on the own layers.
    control.setURL(server->url(QStringLiteral("/redirect")));
    const auto kept = raisedBy([&] { control.setAction(HTTPS::httpGet); });
    EXPECT_EQ(kept.number, raisedCode(151));
    EXPECT_EQ(kept.description, QStringLiteral("302 Moved Temporarily"));

    control.setFollowRedirects(HTTPS::frAlways);
    // Each hop's certificate is checked against that hop's own host.
    control.setURL(server->secureUrl(QStringLiteral("good"), QStringLiteral("/to-address")));
    control.setAction(HTTPS::httpGet);
    EXPECT_FALSE(logged(QStringLiteral("GET /hello.txt?address ")).isEmpty());
    control.setURL(server->secureUrl(QStringLiteral("address"), QStringLiteral("/to-named-address"), QStringLiteral("127.0.0.1")));
    const auto refused = raisedBy([&] { control.setAction(HTTPS::httpGet); });
    EXPECT_EQ(refused.number, 12037 + 15001);

    // From http to https the control's trust and its security flags hold.
    control.setURL(server->url(QStringLiteral("/to-https")));
    control.setAction(HTTPS::httpGet);
    EXPECT_TRUE(control.StatusLine().endsWith(QStringLiteral(" 200 OK")));
    control.setURL(server->url(QStringLiteral("/to-wrong")));
    EXPECT_EQ(raisedBy([&] { control.setAction(HTTPS::httpGet); }).number, 12037 + 15001);
    control.setSSLSecurityFlags(qint32(0x80000000));
    control.setAction(HTTPS::httpGet);
    EXPECT_FALSE(logged(QStringLiteral("GET /hello.txt?wrong ")).isEmpty());
    control.setSSLSecurityFlags(0);

    // Credentials of a secure request never go out in clear.
    control.setURL(server->secureUrl(QStringLiteral("good"), QStringLiteral("/to-plain")));
    control.setUser(QStringLiteral("kelvane"));
    control.setPassword(QStringLiteral("s3cret"));
    control.setAction(HTTPS::httpGet);
    const auto authorization = [](const QString& logLine) { return logLine.section(QLatin1Char('|'), 2, 2); };
    EXPECT_EQ(authorization(logged(QStringLiteral("GET /to-plain "))), QStringLiteral("Basic a2VsdmFuZTpzM2NyZXQ="));
    EXPECT_EQ(authorization(logged(QStringLiteral("GET /hello.txt?plain "))), QStringLiteral("-"));

    // Nor to another port of the same host, and no more do the caller's own Cookie lines.
    control.setURL(server->url(QStringLiteral("/to-other-port")));
    control.setUser(QStringLiteral("kelvane"));
    control.setPassword(QStringLiteral("s3cret"));
    control.setOtherHeaders(QStringLiteral("Cookie: b=2"));
    control.setAction(HTTPS::httpGet);
    const auto sent = [](const QString& logLine) { return logLine.section(QLatin1Char('|'), 2, 3); };
    EXPECT_EQ(sent(logged(QStringLiteral("GET /to-other-port "))), QStringLiteral("Basic a2VsdmFuZTpzM2NyZXQ=|b=2"));
    EXPECT_EQ(sent(logged(QStringLiteral("GET /hello.txt?other-port "))), QStringLiteral("-|-"));
    control.setOtherHeaders({});

    // 304 and 305 are answers, not redirects.
    control.setTimeout(3);
    for (const auto& [name, status] : {std::pair {"use-proxy", "305 Use Proxy"}, std::pair {"not-modified", "304 Not Modified"}}) {
        ScriptedPeer peer(QString::fromLatin1(name));
        control.setURL(peer.url(QStringLiteral("/first")));
        const auto answer = raisedBy([&] { control.setAction(HTTPS::httpGet); });
        EXPECT_EQ(answer.number, raisedCode(151)) << name;
        EXPECT_EQ(answer.description, QString::fromLatin1(status));
        EXPECT_EQ(peer.received().count("GET "), 1) << name;
    }
}

TEST_F(WinInetTransport, ReplyCutOffInItsHeadersFails)
{
    for (const char* name : {"headers-cut", "header-line-cut", "redirect-headers-cut"}) {
        ScriptedPeer peer(QString::fromLatin1(name));
        HTTPS control;
        EventLog log(control);
        control.setUseWinInet(true);
        control.setTimeout(3);
        control.setFollowRedirects(HTTPS::frAlways);
        control.setURL(peer.url());
        const auto raised = raisedBy([&] { control.setAction(HTTPS::httpGet); });
        EXPECT_EQ(raised.number, 12030 + 15001) << name;
        EXPECT_EQ(raised.description, QStringLiteral("Internet Connection Aborted.")) << name;
        EXPECT_TRUE(log.of(QStringLiteral("StartTransfer")).isEmpty()) << name;
        EXPECT_EQ(peer.received().count("GET "), 1) << name;
    }
}

TEST_F(WinInetTransport, LengthsThatContradictEachOtherFail)
{
    ScriptedPeer peer(QStringLiteral("length-contradicting"));
    HTTPS control;
    EventLog log(control);
    control.setUseWinInet(true);
    control.setURL(peer.url());
    EXPECT_EQ(raisedBy([&] { control.setAction(HTTPS::httpGet); }).number, 12152 + 15001);
    EXPECT_TRUE(log.body.isEmpty());
}

TEST_F(WinInetTransport, RequestsAskForAFreshCopy)
{
    for (const QString& pragma : {QString(), QStringLiteral("x-custom")}) {
        ScriptedPeer peer(QStringLiteral("hello"));
        HTTPS control;
        control.setUseWinInet(true);
        control.setPragma(pragma);
        control.setURL(peer.url());
        control.setAction(HTTPS::httpGet);
        const QByteArray expected = "\r\nPragma: " + (pragma.isEmpty() ? QByteArray("no-cache") : pragma.toLatin1()) + "\r\n";
        EXPECT_TRUE(peer.received().contains(expected)) << peer.received().toStdString();
        EXPECT_EQ(peer.received().count("Pragma:"), 1);
    }
}

TEST_F(WinInetTransport, ClientCertificateIsOfferedWhenAskedForOrOnRetry)
{
    // A server that will not go on without a client certificate.
    TlsPeer peer(certificates->certificate(QStringLiteral("good")), certificates->key(QStringLiteral("good")),
                 "HTTP/1.0 200 OK\r\n\r\nwelcome", TlsPeer::Ending::AbruptClose, {}, certificates->authority());
    HTTPS control;
    EventLog log(control);
    control.setUseWinInet(true);
    control.setSSLCertHandle(clientCertificateHandle(*certificates));
    control.setURL(peer.url());
    const auto needed = raisedBy([&] { control.setAction(HTTPS::httpGet); });
    EXPECT_EQ(needed.number, 12044 + 15001);
    EXPECT_EQ(needed.description, QStringLiteral("Internet Client Auth Cert Needed."));
    EXPECT_TRUE(eventually([&] { return peer.served() == 1; }));

    // Sent again with the certificate when the flags allow it ...
    control.setSSLSecurityFlags(0x04000000);
    control.setAction(HTTPS::httpGet);
    EXPECT_EQ(log.body, QByteArray("welcome"));
    EXPECT_TRUE(eventually([&] { return peer.served() == 3; })); // refused once more, then sent with it
    EXPECT_TRUE(peer.clientSubject().contains("CN=Kelvane Client")) << peer.clientSubject().toStdString();

    // ... or offered from the start.
    control.setSSLSecurityFlags(0x40000000);
    control.setAction(HTTPS::httpGet);
    EXPECT_TRUE(eventually([&] { return peer.served() == 4; }));

    // Without a certificate to offer, the second request is refused alike.
    HTTPS without;
    without.setUseWinInet(true);
    without.setSSLSecurityFlags(0x04000000);
    without.setURL(peer.url());
    EXPECT_EQ(raisedBy([&] { without.setAction(HTTPS::httpGet); }).number, 12044 + 15001);
    EXPECT_TRUE(eventually([&] { return peer.served() == 6; }));
}
