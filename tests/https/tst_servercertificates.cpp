// The server's certificate as the host gets it for its verdict: with the rest of the chain the
// server presented, so that a host trusting an authority of its own can link the certificate to
// it through the intermediates the server sent.
#include "https/CertificateHandles.h"
#include "tests/https/ChainCertificates.h"
#include "tests/https/HttpsTestSupport.h"
#include "tests/https/TestCertificates.h"
#include "tests/https/TlsPeer.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

using kelvane::plexant::HTTPS;
using kelvane::test::EventLog;
using kelvane::test::TlsPeer;
namespace certificateHandles = kelvane::plexant::certificateHandles;

namespace {

// What the host saw of the server's certificate while its verdict was asked.
struct SeenCertificate {
    QString subject;
    QStringList presentedSubjects;
    bool found = false;
};

void recordCertificate(HTTPS& control, SeenCertificate& seen)
{
    QObject::connect(&control, &HTTPS::SSLServerAuthentication, &control,
                     [&seen](qint32& handle, QString&, QString&, QString&, bool& accept) {
                         const auto certificate = certificateHandles::find(handle);
                         seen.found = certificate != nullptr;
                         if (!certificate)
                             return;
                         seen.subject = QString::fromUtf8(certificate->subject());
                         for (const auto& presented : certificate->presentedChain())
                             seen.presentedSubjects.append(
                                 QString::fromUtf8(kelvane::plexant::nameText(X509_get_subject_name(presented.get()))));
                         accept = true;
                     });
}

class ServerCertificates : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const QString folder = kelvane::test::scratchFolder() + QStringLiteral("/server-certificates");
        QDir().mkpath(folder + QStringLiteral("/chain"));
        certificates = std::make_unique<kelvane::test::TestCertificates>(folder);
        chain = std::make_unique<kelvane::test::ChainCertificates>(folder + QStringLiteral("/chain"));
        // The control trusts the test authority only, not the private one of the chain.
        qputenv("SSL_CERT_FILE", certificates->authority().toLocal8Bit());
        qputenv("SSL_CERT_DIR", folder.toLocal8Bit());
    }
    static void TearDownTestSuite()
    {
        chain.reset();
        certificates.reset();
    }

    static inline std::unique_ptr<kelvane::test::TestCertificates> certificates;
    static inline std::unique_ptr<kelvane::test::ChainCertificates> chain;
};

} // namespace

TEST_F(ServerCertificates, TheHostGetsTheChainTheServerPresented)
{
    TlsPeer server(chain->chain(), chain->key(), "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", TlsPeer::Ending::AbruptClose);
    HTTPS control;
    EventLog log(control);
    SeenCertificate seen;
    recordCertificate(control, seen);
    control.setTimeout(5);
    control.Get(server.url());

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.subject, QStringLiteral("CN=localhost, O=Kelvane Tests"));
    EXPECT_EQ(seen.presentedSubjects, QStringList {QStringLiteral("CN=Kelvane Private Intermediate, O=Kelvane Tests")});
    // The control's own verdict stands as it was: the private authority is none of its.
    ASSERT_EQ(log.of(QStringLiteral("SSLServerAuthentication")).size(), 1);
    EXPECT_TRUE(log.of(QStringLiteral("SSLServerAuthentication"))[0].contains(QStringLiteral("[0x800b0109]")));
    EXPECT_EQ(control.TransferredData(), QStringLiteral("ok"));
}

TEST_F(ServerCertificates, AServerThatSendsItsOwnCertificateAlonePresentsNoChain)
{
    TlsPeer server(certificates->certificate(QStringLiteral("good")), certificates->key(QStringLiteral("good")),
                   "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", TlsPeer::Ending::AbruptClose);
    HTTPS control;
    SeenCertificate seen;
    recordCertificate(control, seen);
    control.setTimeout(5);
    control.Get(server.url());

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.subject, QStringLiteral("CN=localhost, O=Kelvane Tests"));
    EXPECT_TRUE(seen.presentedSubjects.isEmpty());
}
