#include "server/TextFiles.h"
#include "server/UpdateSpool.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using kelvane::UpdateSpool;

namespace {

int modeOf(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(UpdateSpool, PassesOverFilesOfEarlierRunsAndCountsPastSixteenBits)
{
    QTemporaryDir folder;
    QFile::copy(kelvane::test::dataPath(QStringLiteral("server/listing.xml")), folder.filePath(QStringLiteral("orvik00002.qsu")));
    const QByteArray earlier = contentOf(folder.filePath(QStringLiteral("orvik00002.qsu")));
    UpdateSpool spool(folder.path() + u'/');
    EXPECT_EQ(spool.Spool(QStringLiteral("first \u00E9")), folder.path() + QStringLiteral("/orvik00001.qsu"));
    EXPECT_EQ(spool.Spool(QStringLiteral("second")), folder.path() + QStringLiteral("/orvik00003.qsu"));
    EXPECT_EQ(contentOf(folder.filePath(QStringLiteral("orvik00001.qsu"))), QByteArray("first \xC3\xA9\r\n"));
    EXPECT_EQ(contentOf(folder.filePath(QStringLiteral("orvik00002.qsu"))), earlier);

    QString last;
    while (spool.Counter() < 32768)
        last = spool.Spool(QStringLiteral("u"));
    EXPECT_EQ(last, folder.path() + QStringLiteral("/orvik32768.qsu"));
    EXPECT_EQ(spool.PathOf(123456), folder.path() + QStringLiteral("/orvik123456.qsu"));
}

TEST(UpdateSpool, AFileThatCannotBeWrittenIsAnErrorAndLeavesNothing)
{
    QTemporaryDir folder;
    UpdateSpool spool(folder.filePath(QStringLiteral("missing/spool")));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { spool.Spool(QStringLiteral("x")); }), kelvane::err::PathFileAccess);
    EXPECT_EQ(spool.Counter(), 0);

    // A full disk: the failure says why, and no file is left of it.
    UpdateSpool full(folder.path());
    {
        const kelvane::test::FileSizeLimit diskFull(0);
        const auto error = kelvane::test::errorOf([&] { full.Spool(QStringLiteral("<request/>")); });
        EXPECT_EQ(error.Number(), kelvane::err::PathFileAccess);
        EXPECT_TRUE(error.Description().contains(QStringLiteral("File too large"))) << error.Description().toStdString();
    }
    EXPECT_FALSE(QFile::exists(full.PathOf(1)));
    EXPECT_EQ(full.Spool(QStringLiteral("<request/>")), full.PathOf(1));

    // The request file is replaced whole.
    const QString request = folder.filePath(QStringLiteral("xmlrpc.txt"));
    kelvane::server::WriteTextFile(request, QStringLiteral("one\r\n"));
    kelvane::server::WriteTextFile(request, QStringLiteral("two\r\n"));
    EXPECT_EQ(contentOf(request), QByteArray("two\r\n\r\n"));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { kelvane::server::WriteTextFile(folder.filePath(QStringLiteral("no/such.txt")), QStringLiteral("x")); }),
              kelvane::err::PathFileAccess);
}

TEST(UpdateSpool, SpoolFilesAreTheUsersAloneAndNeverLieInAFolderOthersCanOpen)
{
    QTemporaryDir temporary;
    const QString folder = UpdateSpool::FolderIn(temporary.path());
    UpdateSpool spool(folder);
    EXPECT_EQ(modeOf(spool.Spool(QStringLiteral("<key>"))), 0600);
    EXPECT_EQ(modeOf(folder), 0700); // made for the spool

    // A link planted under the next name is passed over, and what it points at stays untouched.
    const QString target = temporary.filePath(QStringLiteral("elsewhere"));
    QFile::link(target, spool.PathOf(2));
    EXPECT_EQ(spool.Spool(QStringLiteral("x")), spool.PathOf(3));
    EXPECT_FALSE(QFile::exists(target));

    // A folder other users may enter is refused, and nothing is written there.
    QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOther | QFile::ExeOther);
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { spool.Spool(QStringLiteral("x")); }), kelvane::err::PathFileAccess);
    EXPECT_FALSE(QFile::exists(spool.PathOf(4)));
    EXPECT_EQ(spool.Counter(), 3);
}
