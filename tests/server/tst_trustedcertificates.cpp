// The certificates the user trusts for the knowledge server ("Tavro Certificate"): a root that
// certifies the server through the intermediate it presents, and a file that is no regular
// file, which trusts nothing and holds nothing up.
#include "https/Certificate.h"
#include "server/TrustedCertificates.h"
#include "tests/https/ChainCertificates.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>
#include <openssl/pem.h>

using kelvane::TrustedCertificates;
using kelvane::plexant::Certificate;
using kelvane::plexant::X509Ptr;

namespace {

// The server's certificate of the chain file, with the rest of the chain as the server
// presents it, or alone.
std::unique_ptr<Certificate> serverCertificate(const QString& chainFile, bool withChain)
{
    QFile file(chainFile);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray pem = file.readAll();
    BIO* bio = BIO_new_mem_buf(pem.constData(), int(pem.size()));
    X509Ptr own(PEM_read_bio_X509(bio, nullptr, nullptr, nullptr));
    std::vector<X509Ptr> presented;
    while (X509* next = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr))
        presented.emplace_back(next);
    BIO_free(bio);
    return std::make_unique<Certificate>(std::move(own), withChain ? std::move(presented) : std::vector<X509Ptr> {});
}

} // namespace

TEST(TrustedCertificates, ARootTrustsItsServerThroughThePresentedChainForItsOwnHost)
{
    const QString folder = kelvane::test::scratchFolder() + QStringLiteral("/chain");
    ASSERT_TRUE(QDir().mkpath(folder));
    const kelvane::test::ChainCertificates chain(folder);
    const TrustedCertificates trusted(chain.root());
    const auto withChain = serverCertificate(chain.chain(), true);
    const auto alone = serverCertificate(chain.chain(), false);
    ASSERT_TRUE(withChain && alone);

    EXPECT_TRUE(trusted.Trusts(*withChain, QStringLiteral("localhost")));
    EXPECT_TRUE(trusted.Trusts(*withChain, QStringLiteral("127.0.0.1")));
    EXPECT_FALSE(trusted.Trusts(*alone, QStringLiteral("localhost")));
    EXPECT_FALSE(trusted.Trusts(*withChain, QStringLiteral("elsewhere.test")));
}

TEST(TrustedCertificates, AFileThatIsNoRegularFileTrustsNothingWithoutWaiting)
{
    const QString folder = kelvane::test::scratchFolder() + QStringLiteral("/kinds");
    ASSERT_TRUE(QDir().mkpath(folder));
    const kelvane::test::ChainCertificates chain(folder);
    const auto server = serverCertificate(chain.chain(), true);
    ASSERT_TRUE(server);
    // A pipe nobody writes to would hold the log-on for ever, /dev/zero would fill memory.
    const kelvane::test::PipeWithoutWriter pipe(folder + QStringLiteral("/trusted.pem"));
    ASSERT_TRUE(pipe.made());

    QElapsedTimer timer;
    timer.start();
    for (const QString& file : {pipe.path(), folder + QStringLiteral("/missing.pem")})
        EXPECT_FALSE(TrustedCertificates(file).Trusts(*server, QStringLiteral("localhost"))) << file.toStdString();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(pipe.readerWasStuck());
}
