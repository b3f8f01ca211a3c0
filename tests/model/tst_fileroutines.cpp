#include "model/basLibrary.h"
#include "platform/doubles/FixedSystemInfo.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace basLibrary;
using platform::ScopedService;
using platform::SystemInfo;
using platform::doubles::FixedSystemInfo;

namespace {

// A fresh folder of its own for each test.
class FileRoutines : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = kelvane::test::scratchFolder() + u'/' + QString::fromLatin1(info->name());
        QDir(m_folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(m_folder));
    }

    QString path(const QString& name) const { return m_folder + u'/' + name; }

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

    int errorOf(const std::function<void()>& action) const
    {
        try {
            action();
        } catch (const kelvane::RuntimeError& e) {
            return e.Number();
        }
        return 0;
    }

    QString m_folder;
};

} // namespace

TEST_F(FileRoutines, WholeFilesAreWrittenInBlankPaddedRecords)
{
    WriteWholeFile(QString(), path(QStringLiteral("empty.tmp")));
    EXPECT_EQ(read(QStringLiteral("empty.tmp")), QByteArray(1024, ' '));

    WriteWholeFile(QStringLiteral("é€x"), path(QStringLiteral("ansi.tmp")));
    const QByteArray ansi = read(QStringLiteral("ansi.tmp"));
    ASSERT_EQ(ansi.size(), 1024);
    EXPECT_EQ(ansi.left(4), QByteArray("\xE9\x80x ", 4));

    WriteWholeFile(QString(1024, u'a'), path(QStringLiteral("exact.tmp")));
    EXPECT_EQ(read(QStringLiteral("exact.tmp")).size(), 2048);
}

TEST_F(FileRoutines, WritingReplacesALongerOldFile)
{
    write(QStringLiteral("old.tmp"), QByteArray(5000, 'x'));
    WriteWholeFile(QStringLiteral("new"), path(QStringLiteral("old.tmp")));
    const QByteArray bytes = read(QStringLiteral("old.tmp"));
    EXPECT_EQ(bytes.size(), 1024);
    EXPECT_FALSE(bytes.contains('x'));
}

TEST_F(FileRoutines, WholeFilesAreReadInRecordsFilledToTheEnd)
{
    write(QStringLiteral("k.bin"), QByteArray(1024, 'k'));
    const QString text = ReadWholeFile(path(QStringLiteral("k.bin")));
    ASSERT_EQ(text.size(), 2048);
    EXPECT_EQ(text.left(1024), QString(1024, u'k'));

    write(QStringLiteral("bytes.bin"), QByteArray("\x00\x80\xFF<<END OF FILE>>", 18));
    const QString bytes = ReadWholeFile(path(QStringLiteral("bytes.bin")));
    ASSERT_EQ(bytes.size(), 1024);
    EXPECT_EQ(bytes.left(18), QString(QChar(0)) + QChar(0x20AC) + QChar(0xFF) + QStringLiteral("<<END OF FILE>>"));

    // What was read writes back byte for byte (before the filler).
    WriteWholeFile(bytes.left(18), path(QStringLiteral("copy.bin")));
    EXPECT_EQ(read(QStringLiteral("copy.bin")).left(18), read(QStringLiteral("bytes.bin")));
}

TEST_F(FileRoutines, FilesThatCannotBeOpenedRaiseErrors)
{
    EXPECT_EQ(errorOf([&] { ReadWholeFile(path(QStringLiteral("missing.tmp"))); }), kelvane::err::FileNotFound);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("missing.tmp")))); // reading never creates it
    EXPECT_EQ(errorOf([&] { ReadWholeFile(path(QStringLiteral("no/such/file.tmp"))); }), kelvane::err::PathNotFound);
    EXPECT_EQ(errorOf([&] { WriteWholeFile(QStringLiteral("x"), path(QStringLiteral("no/such/file.tmp"))); }),
              kelvane::err::PathNotFound);
    EXPECT_EQ(errorOf([&] { WriteWholeFile(QStringLiteral("x"), m_folder); }), kelvane::err::PathFileAccess);
}

TEST_F(FileRoutines, StoredPathsWithBackslashesOpenOnTheHost)
{
    QDir(m_folder).mkpath(QStringLiteral("sub"));
    WriteWholeFile(QStringLiteral("x"), m_folder + QStringLiteral("\\sub\\w.tmp"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("sub/w.tmp"))));
    EXPECT_TRUE(FileExists(m_folder + QStringLiteral("\\sub\\w.tmp")));
}

TEST_F(FileRoutines, FileExistsOnlyForReadableRegularFiles)
{
    write(QStringLiteral("there.txt"), "x");
    EXPECT_TRUE(FileExists(path(QStringLiteral("there.txt"))));
    EXPECT_FALSE(FileExists(path(QStringLiteral("absent.txt"))));
    EXPECT_FALSE(FileExists(m_folder));
    EXPECT_FALSE(FileExists(QString()));
    write(QStringLiteral("locked.txt"), "x");
    QFile::setPermissions(path(QStringLiteral("locked.txt")), QFileDevice::WriteOwner);
    QFile probe(path(QStringLiteral("locked.txt")));
    if (!probe.open(QIODevice::ReadOnly)) { // a privileged user reads it anyway
        EXPECT_FALSE(FileExists(path(QStringLiteral("locked.txt"))));
    }
}

TEST_F(FileRoutines, DeleteFileInTakesWildcardsAndIgnoresErrors)
{
    for (const char* name : {"a.qsu", "b.qsu", "c.txt", "d.qsux", "[x].qsu"})
        write(QString::fromLatin1(name), "x");
    DeleteFileIn(m_folder, QStringLiteral("*.qsu"));
    EXPECT_EQ(QDir(m_folder).entryList(QDir::Files), (QStringList {QStringLiteral("c.txt"), QStringLiteral("d.qsux")}));
    DeleteFileIn(m_folder, QStringLiteral("c.txt"));
    DeleteFileIn(m_folder, QStringLiteral("c.txt")); // already gone: ignored
    DeleteFileIn(m_folder + QStringLiteral("/missing"), QStringLiteral("*"));
    EXPECT_EQ(QDir(m_folder).entryList(QDir::Files), QStringList {QStringLiteral("d.qsux")});
    DeleteFileIn(m_folder, QStringLiteral("?.qsu?"));
    EXPECT_TRUE(QDir(m_folder).entryList(QDir::Files).isEmpty());
}

TEST(CommonFolders, TemplatesDirectorySetsDocumentsAndTempFolders)
{
    ScopedService<SystemInfo, FixedSystemInfo> system;
    system->documents = QStringLiteral("/home/tester/Documents");
    system->temp = QStringLiteral("/var/tmp/kelvane");
    TemplatesDirectory();
    EXPECT_EQ(DocumentsFolder, QStringLiteral("/home/tester/Documents"));
    EXPECT_EQ(TempFolder, QStringLiteral("/var/tmp/kelvane"));
    EXPECT_EQ(SpecialFolderPath(0x1A), QString());
    system->user = QStringLiteral("tester") + QChar(u'\0') + QStringLiteral("rest");
    EXPECT_EQ(GetWindowsUserName(), QStringLiteral("tester"));
    DocumentsFolder.clear();
    TempFolder.clear();
}
