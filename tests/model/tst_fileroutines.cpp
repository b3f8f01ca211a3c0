#include "tests/support/ErrorAssertions.h"
#include "model/basLibrary.h"
#include "platform/doubles/FixedSystemInfo.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using namespace basLibrary;

namespace {

// Each test works in a fresh folder of its own.
class FileRoutines : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = kelvane::test::scratchFolder() + u'/'
            + QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    QString path(const QString& name) const { return folder + u'/' + name; }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString folder;
};

} // namespace

TEST_F(FileRoutines, WholeFilesAreWrittenInBlankPaddedRecordsOverTheOldFile)
{
    WriteWholeFile(QString(), path(QStringLiteral("empty.tmp")));
    EXPECT_EQ(read(QStringLiteral("empty.tmp")), QByteArray(1024, ' '));
    WriteWholeFile(QString(1024, u'a'), path(QStringLiteral("exact.tmp")));
    EXPECT_EQ(read(QStringLiteral("exact.tmp")).size(), 2048);

    write(QStringLiteral("old.tmp"), QByteArray(5000, 'x'));
    WriteWholeFile(QStringLiteral("é€x"), path(QStringLiteral("old.tmp")));
    EXPECT_EQ(read(QStringLiteral("old.tmp")), QByteArray("\xE9\x80x", 3) + QByteArray(1021, ' '));
}

TEST_F(FileRoutines, WholeFilesAreReadInRecordsFilledToTheEnd)
{
    write(QStringLiteral("k.bin"), QByteArray(1024, 'k'));
    const QString text = ReadWholeFile(path(QStringLiteral("k.bin")));
    EXPECT_EQ(text, QString(1024, u'k') + QString(1024, QChar(0)));

    const QByteArray bytes("\x00\x80\xFF<<END OF FILE>>", 18);
    write(QStringLiteral("bytes.bin"), bytes);
    const QString read18 = ReadWholeFile(path(QStringLiteral("bytes.bin"))).left(18);
    EXPECT_EQ(read18, QString(QChar(0)) + QChar(0x20AC) + QChar(0xFF) + QStringLiteral("<<END OF FILE>>"));
    WriteWholeFile(read18, path(QStringLiteral("copy.bin"))); // byte for byte back
    EXPECT_EQ(read(QStringLiteral("copy.bin")).left(18), bytes);
}

TEST_F(FileRoutines, PathsThatCannotBeOpenedRaiseErrorsAndCreateNothing)
{
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { ReadWholeFile(path(QStringLiteral("missing.tmp"))); }), kelvane::err::FileNotFound);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("missing.tmp"))));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { ReadWholeFile(path(QStringLiteral("no/such/f.tmp"))); }), kelvane::err::PathNotFound);
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { WriteWholeFile({}, path(QStringLiteral("no/such/f.tmp"))); }), kelvane::err::PathNotFound);
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { WriteWholeFile({}, folder); }), kelvane::err::PathFileAccess);
}

TEST_F(FileRoutines, WholeFilesAreReadOnlyFromRegularFilesWithoutWaiting)
{
    // A pipe nobody writes to would hold the program for ever, /dev/zero would fill memory.
    const kelvane::test::PipeWithoutWriter pipe(path(QStringLiteral("pipe.txt")));
    ASSERT_TRUE(pipe.made());
    const QString zeros = path(QStringLiteral("zeros.txt"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeros));
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : {pipe.path(), zeros})
        EXPECT_EQ(kelvane::test::errorNumberOf([&] { ReadWholeFile(name); }), kelvane::err::PathFileAccess) << name.toStdString();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(pipe.readerWasStuck());
}

TEST_F(FileRoutines, FileExistsOnlyForReadableRegularFilesInEitherPathForm)
{
    QDir(folder).mkpath(QStringLiteral("sub"));
    write(QStringLiteral("sub/there.txt"), "x");
    EXPECT_TRUE(FileExists(path(QStringLiteral("sub/there.txt"))));
    EXPECT_TRUE(FileExists(folder + QStringLiteral("\\sub\\there.txt")));
    EXPECT_FALSE(FileExists(path(QStringLiteral("absent.txt"))));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_FALSE(FileExists(QString()));
}

TEST_F(FileRoutines, DeleteFileInTakesWildcardsAndIgnoresErrors)
{
    for (const char* name : {"a.qsu", "b.qsu", "c.txt", "d.qsux", "[x].qsu"})
        write(QString::fromLatin1(name), "x");
    DeleteFileIn(folder, QStringLiteral("*.qsu"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({"c.txt", "d.qsux"}));
    DeleteFileIn(folder, QStringLiteral("c.txt"));
    DeleteFileIn(folder, QStringLiteral("c.txt")); // already gone
    DeleteFileIn(folder + QStringLiteral("/missing"), QStringLiteral("*"));
    DeleteFileIn(folder, QStringLiteral("?.qsu?"));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}

TEST(CommonFolders, TemplatesDirectorySetsDocumentsAndTempFolders)
{
    platform::ScopedService<platform::SystemInfo, platform::doubles::FixedSystemInfo> system;
    system->temp = QStringLiteral("/var/tmp/kelvane");
    system->user = QStringLiteral("tester") + QChar(u'\0') + QStringLiteral("rest");
    TemplatesDirectory();
    EXPECT_EQ(DocumentsFolder, system->documents);
    EXPECT_EQ(TempFolder, QStringLiteral("/var/tmp/kelvane"));
    EXPECT_EQ(SpecialFolderPath(0x1A), QString());
    EXPECT_EQ(GetWindowsUserName(), QStringLiteral("tester"));
    DocumentsFolder.clear();
    TempFolder.clear();
}
