#include "platform/GsfStructuredStorage.h"
#include "platform/doubles/MemoryStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace kelvane::test;
using platform::StorageMode;
namespace err = kelvane::err;

namespace {

// A path in a folder of the running test's own, so tests never see each other's files.
QString scratchFile(const QString& name)
{
    const QString folder = scratchFolder() + u'/'
        + QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
    QDir().mkpath(folder);
    return folder + u'/' + name;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QString kNul(1, QChar(u'\0'));

class StructuredStorage : public ::testing::Test {
protected:
    std::shared_ptr<platform::RootStorage> open(const QString& name, StorageMode mode)
    {
        return storage.OpenStorage(scratchFile(name), mode);
    }
    platform::GsfStructuredStorage storage;
};

// Lowers the largest file this process may write, so a save fails half way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_previous;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
};

} // namespace

TEST_F(StructuredStorage, StreamsRoundTripThroughTheFile)
{
    const QString document = QStringLiteral("<kelvanedocument>caf\u00e9 \u20ac \u4e2d</kelvanedocument>\r\n");
    {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("GUID"), QStringLiteral("{A-B}"));
        storeText(*root, QStringLiteral("Networks"), QStringLiteral("1"));
        storeText(*root, QStringLiteral("GUID1"), QStringLiteral("{A-B}"));
        storeText(*root, QStringLiteral("1"), document);
        root->CreateStream(QStringLiteral("Empty"), StorageMode::Write);
        EXPECT_FALSE(QFile::exists(scratchFile(QStringLiteral("kb.qkb")))) << "nothing is written before Commit";
        root->Commit();
    }
    const auto root = open(QStringLiteral("kb.qkb"), StorageMode::Read);
    QStringList names = root->StreamNames();
    names.sort();
    EXPECT_EQ(names, QStringList({"1", "Empty", "GUID", "GUID1", "Networks"}));
    EXPECT_EQ(readText(*root, QStringLiteral("1")), document);
    EXPECT_EQ(root->OpenStream(1, StorageMode::Read)->GetSize(), document.size()) << "characters, not bytes";
    EXPECT_EQ(readText(*root, QStringLiteral("networks")), QStringLiteral("1")) << "names ignore case";
    EXPECT_EQ(readText(*root, QStringLiteral("Empty")), QString());
}

TEST_F(StructuredStorage, ShorterTextOverLongerStreamLeavesNulsTheReaderCutsAt)
{
    const QString longer = QStringLiteral("\u00e9\u00e9\u00e9\u00e9\u00e9 first network");
    {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("1"), longer);
        root->Commit();
    }
    {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("1"), QStringLiteral("new"));
        root->Commit();
    }
    const auto root = open(QStringLiteral("kb.qkb"), StorageMode::Read);
    const QString text = readText(*root, QStringLiteral("1"));
    EXPECT_EQ(text, QStringLiteral("new") + QString(longer.size() - 3, QChar(u'\0')));
    EXPECT_EQ(text.left(text.indexOf(QChar(u'\0'))), QStringLiteral("new"));
}

TEST_F(StructuredStorage, PutAndGetWorkOnCharacterPositions)
{
    const auto root = open(QStringLiteral("new.qkb"), StorageMode::ReadWrite);
    const auto stream = root->CreateStream(QStringLiteral("S"), StorageMode::ReadWrite);
    stream->Put(2, QStringLiteral("\u20acd"));
    EXPECT_EQ(stream->GetSize(), 4);
    stream->Put(1, QStringLiteral("b"));
    stream->Put(3, QStringLiteral("xyz"));

    QString whole(stream->GetSize(), u'?');
    stream->Get(0, whole);
    EXPECT_EQ(whole, kNul + QStringLiteral("b\u20acxyz"));

    QString tail(QStringLiteral("......"));
    stream->Get(4, tail);
    EXPECT_EQ(tail, QStringLiteral("yz...."));
    QString pastEnd(QStringLiteral(".."));
    stream->Get(9, pastEnd);
    EXPECT_EQ(pastEnd, QStringLiteral(".."));

    EXPECT_EQ(errorNumberOf([&] { stream->Put(-1, QStringLiteral("a")); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorNumberOf([&] { stream->Put(std::numeric_limits<qint64>::max(), QStringLiteral("a")); }),
              err::InvalidProcedureCall);
    EXPECT_EQ(stream->GetSize(), 6);
}

TEST_F(StructuredStorage, OnlyFlushedWritesAreCommitted)
{
    {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("A"), QStringLiteral("kept"));
        const auto stream = root->OpenStream(QStringLiteral("A"), StorageMode::Write);
        stream->Put(0, QStringLiteral("lost"));
        QString seen(4, QChar(u'\0'));
        stream->Get(0, seen);
        EXPECT_EQ(seen, QStringLiteral("lost")) << "the writer sees its own writes";
        EXPECT_EQ(readText(*root, QStringLiteral("A")), QStringLiteral("kept"));
        root->Commit();
    }
    EXPECT_EQ(readText(*open(QStringLiteral("kb.qkb"), StorageMode::Read), QStringLiteral("A")),
              QStringLiteral("kept"));
}

TEST_F(StructuredStorage, ModesAndNamesAreEnforced)
{
    EXPECT_EQ(errorNumberOf([&] { open(QStringLiteral("missing.qkb"), StorageMode::Read); }), err::FileNotFound);
    {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("A"), QStringLiteral("old"));
        for (const QString& bad : {QString(), QString(32, u'n'), QStringLiteral("a/b"), QStringLiteral("a!")})
            EXPECT_EQ(errorNumberOf([&] { root->CreateStream(bad, StorageMode::Write); }), err::InvalidProcedureCall)
                << qPrintable(bad);
        EXPECT_EQ(errorNumberOf([&] { root->OpenStream(QStringLiteral("A"), StorageMode::Read)->Put(0, "x"); }),
                  err::BadFileMode);
        EXPECT_EQ(root->CreateStream(QStringLiteral("a"), StorageMode::Write)->GetSize(), 0)
            << "creating replaces a stream of the same name with an empty one";
        EXPECT_EQ(root->StreamNames(), QStringList({"A"}));
        root->Commit();
    }
    const auto readOnly = open(QStringLiteral("kb.qkb"), StorageMode::Read);
    EXPECT_EQ(errorNumberOf([&] { readOnly->OpenStream(QStringLiteral("B"), StorageMode::Read); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { readOnly->OpenStream(QStringLiteral("A"), StorageMode::Write); }), err::BadFileMode);
    EXPECT_EQ(errorNumberOf([&] { readOnly->CreateStream(QStringLiteral("B"), StorageMode::Write); }), err::BadFileMode);
    EXPECT_EQ(errorNumberOf([&] { readOnly->Commit(); }), err::BadFileMode);
}

TEST_F(StructuredStorage, FilesThatAreNotCompoundFilesAreRefusedAndKept)
{
    const QString path = scratchFile(QStringLiteral("notes.txt"));
    writeFile(path, "<?xml version='1.0'?><kelvanedocument/>");
    try {
        storage.OpenStorage(path, StorageMode::ReadWrite);
        FAIL() << "a text file opened as a compound file";
    } catch (const kelvane::RuntimeError& e) {
        EXPECT_EQ(e.Number(), err::InvalidFileFormat);
        EXPECT_TRUE(e.Description().contains(path)) << qPrintable(e.Description());
    }
    EXPECT_EQ(fileBytes(path), QByteArray("<?xml version='1.0'?><kelvanedocument/>"));

    writeFile(scratchFile(QStringLiteral("empty.qkb")), {});
    EXPECT_TRUE(open(QStringLiteral("empty.qkb"), StorageMode::Read)->StreamNames().isEmpty());
}

TEST_F(StructuredStorage, FailedCommitLeavesThePreviousFileIntact)
{
    const QString folder = scratchFile(QStringLiteral("atomic"));
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/kb.qkb");
    {
        const auto root = storage.OpenStorage(path, StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("1"), QStringLiteral("previous network"));
        root->Commit();
    }
    const QByteArray before = fileBytes(path);
    ASSERT_FALSE(before.isEmpty());

    const auto root = storage.OpenStorage(path, StorageMode::ReadWrite);
    storeText(*root, QStringLiteral("1"), QString(20000, u'n'));
    {
        const FileSizeLimit limit(before.size());
        EXPECT_EQ(errorNumberOf([&] { root->Commit(); }), err::PathFileAccess);
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"kb.qkb"})) << "no half-written file left";

    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(errorNumberOf([&] { root->Commit(); }), err::PathFileAccess) << "a read-only file is not replaced";
    EXPECT_EQ(fileBytes(path), before);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    root->Commit();
    EXPECT_EQ(readText(*storage.OpenStorage(path, StorageMode::Read), QStringLiteral("1")), QString(20000, u'n'))
        << "the storage stays usable after a failed Commit";

    const auto lost = storage.OpenStorage(scratchFile(QStringLiteral("no/such/folder/kb.qkb")), StorageMode::ReadWrite);
    EXPECT_EQ(errorNumberOf([&] { lost->Commit(); }), err::PathNotFound);
}

TEST(MemoryStructuredStorage, RecordsCallsKeepsCommittedFilesAndFailsOnRequest)
{
    platform::doubles::MemoryStructuredStorage storage;
    {
        const auto root = storage.OpenStorage(QStringLiteral("a.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("1"), QStringLiteral("text"));
        root->Commit();
    }
    EXPECT_EQ(storage.calls(),
              QStringList({"OpenStorage a.qkb 18", "OpenStream 1 17", "CreateStream 1 17", "GetSize 1", "Put 1 0 0",
                           "Flush 1", "Put 1 0 4", "Flush 1", "Commit a.qkb"}));
    EXPECT_EQ(storage.streamText(QStringLiteral("a.qkb"), QStringLiteral("1")), QStringLiteral("text"));
    EXPECT_EQ(errorNumberOf([&] { storage.OpenStorage(QStringLiteral("b.qkb"), StorageMode::Read); }),
              err::FileNotFound);

    storage.failOn(QStringLiteral("Flush"));
    const auto root = storage.OpenStorage(QStringLiteral("a.qkb"), StorageMode::ReadWrite);
    EXPECT_EQ(errorNumberOf([&] { storeText(*root, QStringLiteral("1"), QStringLiteral("other")); }),
              err::PathFileAccess);
    root->Commit();
    EXPECT_EQ(storage.streamText(QStringLiteral("a.qkb"), QStringLiteral("1")), QStringLiteral("text"));
}
