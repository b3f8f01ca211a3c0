#include "server/TextFiles.h"
#include "server/UpdateSpool.h"
#include "tests/support/ErrorAssertions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kelvane::UpdateSpool;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(UpdateSpool, NumbersFilesInTheFolderAndNeverOverwritesThoseOfAnEarlierRun)
{
    QTemporaryDir folder;
    {
        UpdateSpool run(folder.path());
        EXPECT_EQ(run.Spool(QStringLiteral("first é")), folder.path() + QStringLiteral("/orvik00001.qsu"));
        EXPECT_EQ(run.Spool(QStringLiteral("second")), folder.path() + QStringLiteral("/orvik00002.qsu"));
    }
    EXPECT_EQ(contentOf(folder.filePath(QStringLiteral("orvik00001.qsu"))), QByteArray("first \xC3\xA9\r\n"));

    // A new run starts counting again but passes over the files it finds.
    QFile::copy(folder.filePath(QStringLiteral("orvik00002.qsu")), folder.filePath(QStringLiteral("orvik00004.qsu")));
    UpdateSpool next(folder.path() + u'/');
    EXPECT_EQ(next.Spool(QStringLiteral("third")), folder.path() + QStringLiteral("/orvik00003.qsu"));
    EXPECT_EQ(next.Spool(QStringLiteral("fifth")), folder.path() + QStringLiteral("/orvik00005.qsu"));
    EXPECT_EQ(next.Counter(), 5);
    EXPECT_EQ(contentOf(folder.filePath(QStringLiteral("orvik00001.qsu"))), QByteArray("first \xC3\xA9\r\n"));
    EXPECT_EQ(contentOf(folder.filePath(QStringLiteral("orvik00004.qsu"))), QByteArray("second\r\n"));
    EXPECT_EQ(next.PathOf(123456), folder.path() + QStringLiteral("/orvik123456.qsu"));
}

TEST(UpdateSpool, CountsPastTheSixteenBitRange)
{
    QTemporaryDir folder;
    UpdateSpool spool(folder.path());
    QString last;
    for (int i = 0; i < 32768; ++i)
        last = spool.Spool(QStringLiteral("u"));
    EXPECT_EQ(last, folder.path() + QStringLiteral("/orvik32768.qsu"));
}

TEST(UpdateSpool, AFileThatCannotBeWrittenIsAnErrorAndLeavesNothing)
{
    QTemporaryDir folder;
    UpdateSpool spool(folder.filePath(QStringLiteral("missing")));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { spool.Spool(QStringLiteral("x")); }), kelvane::err::PathFileAccess);
    EXPECT_EQ(spool.Counter(), 0);

    // The request file is replaced whole.
    const QString request = folder.filePath(QStringLiteral("xmlrpc.txt"));
    kelvane::server::WriteTextFile(request, QStringLiteral("one\r\n"));
    kelvane::server::WriteTextFile(request, QStringLiteral("two\r\n"));
    EXPECT_EQ(contentOf(request), QByteArray("two\r\n\r\n"));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { kelvane::server::WriteTextFile(folder.filePath(QStringLiteral("no/such.txt")), QStringLiteral("x")); }),
              kelvane::err::PathFileAccess);
}
