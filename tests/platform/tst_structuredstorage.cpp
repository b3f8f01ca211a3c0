#include "platform/GsfStructuredStorage.h"
#include "platform/doubles/MemoryStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/FileSizeLimit.h"

using namespace kelvane::test;
using platform::StorageMode;
namespace err = kelvane::err;

namespace {

const QChar kNul(u'\0');

class StructuredStorage : public ::testing::Test {
protected:
    std::shared_ptr<platform::RootStorage> open(const QString& name, StorageMode mode)
    {
        return storage.OpenStorage(testFile(name), mode);
    }
    platform::GsfStructuredStorage storage;
};

} // namespace

TEST_F(StructuredStorage, StreamsRoundTripThroughTheFile)
{
    const QString document = QStringLiteral("<kelvanedocument>caf\u00e9 \u20ac \u4e2d</kelvanedocument>\r\n");
    {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("Networks"), QStringLiteral("1"));
        storeText(*root, QStringLiteral("1"), document);
        root->CreateStream(QStringLiteral("Empty"), StorageMode::Write);
        EXPECT_FALSE(QFile::exists(root->FileName())) << "nothing is written before Commit";
        root->Commit();
    }
    const auto root = open(QStringLiteral("kb.qkb"), StorageMode::Read);
    QStringList names = root->StreamNames();
    names.sort();
    EXPECT_EQ(names, QStringList({"1", "Empty", "Networks"}));
    EXPECT_EQ(readText(*root, QStringLiteral("1")), document);
    EXPECT_EQ(root->OpenStream(1, StorageMode::Read)->GetSize(), document.size()) << "characters, not bytes";
    EXPECT_EQ(readText(*root, QStringLiteral("networks")), QStringLiteral("1")) << "names ignore case";
    EXPECT_EQ(readText(*root, QStringLiteral("Empty")), QString());
}

TEST_F(StructuredStorage, LargeStreamIsWrittenFromItsOwnTextAndReadBackWhole)
{
    // A surrogate pair across the first megabyte, where the file is written a slice at a time.
    const QString document = QString((1 << 20) - 1, u'a') + QStringLiteral("\U0001F600 caf\u00e9");
    platform::doubles::MemoryStructuredStorage memory;
    for (platform::StructuredStorage* kept : {static_cast<platform::StructuredStorage*>(&storage),
                                              static_cast<platform::StructuredStorage*>(&memory)}) {
        const auto root = kept->OpenStorage(testFile(QStringLiteral("large.qkb")), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("1"), document);
        root->Commit();
    }
    const auto root = open(QStringLiteral("large.qkb"), StorageMode::Read);
    EXPECT_EQ(root->OpenStream(1, StorageMode::Read)->GetSize(), document.size());
    EXPECT_EQ(readText(*root, QStringLiteral("1")), document);
    // The storage holds the very text written until the file is made: it is not copied.
    const auto& committed = memory.files().at(testFile(QStringLiteral("large.qkb")));
    ASSERT_TRUE(committed.findChild(QStringLiteral("1"))->written);
    EXPECT_EQ(committed.findChild(QStringLiteral("1"))->written->constData(), document.constData());

    // Stored bytes made elsewhere: UTF-8 behind a byte-order mark, or one byte a character.
    for (const auto& [bytes, text] : {std::pair {QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9"), QStringLiteral("caf\u00e9")},
                                      std::pair {QByteArray("caf\xE9"), QStringLiteral("caf\u00e9")}}) {
        platform::StorageEntry stream;
        stream.name = QStringLiteral("1");
        stream.bytes = bytes;
        platform::StorageEntry file = platform::StorageEntry::emptyRoot();
        file.children.push_back(stream);
        memory.files()[QStringLiteral("elsewhere.qkb")] = file;
        const auto elsewhere = memory.OpenStorage(QStringLiteral("elsewhere.qkb"), StorageMode::Read);
        EXPECT_EQ(elsewhere->OpenStream(1, StorageMode::Read)->GetSize(), text.size());
        EXPECT_EQ(readText(*elsewhere, QStringLiteral("1")), text);
    }
}

TEST_F(StructuredStorage, ShorterTextOverLongerStreamLeavesNulsTheReaderCutsAt)
{
    const QString longer = QStringLiteral("\u00e9\u00e9\u00e9\u00e9\u00e9 first network");
    for (const QString& text : {longer, QStringLiteral("new")}) {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("1"), text);
        root->Commit();
    }
    const QString stored = readText(*open(QStringLiteral("kb.qkb"), StorageMode::Read), QStringLiteral("1"));
    EXPECT_EQ(stored, QStringLiteral("new") + QString(longer.size() - 3, kNul));
    EXPECT_EQ(stored.left(stored.indexOf(kNul)), QStringLiteral("new"));
}

TEST_F(StructuredStorage, AStreamClearedToNulsIsHeldAsTheirCountAndWrittenWhole)
{
    // Past the first megabyte, where NULs are written a slice at a time.
    const QString document = QString((1 << 20) + 5, u'\u00e9');
    platform::doubles::MemoryStructuredStorage memory;
    for (platform::StructuredStorage* kept : {static_cast<platform::StructuredStorage*>(&storage),
                                              static_cast<platform::StructuredStorage*>(&memory)}) {
        const QString file = testFile(QStringLiteral("cleared.qkb"));
        {
            const auto root = kept->OpenStorage(file, StorageMode::ReadWrite);
            storeText(*root, QStringLiteral("1"), document);
            root->Commit();
        }
        const auto root = kept->OpenStorage(file, StorageMode::ReadWrite);
        const auto stream = root->OpenStream(1, StorageMode::Write);
        stream->PutNuls(0, stream->GetSize());
        stream->Flush();
        root->Commit();
    }
    const auto& committed = *memory.files().at(testFile(QStringLiteral("cleared.qkb"))).findChild(QStringLiteral("1"));
    EXPECT_EQ(committed.nuls, document.size());
    EXPECT_TRUE(committed.bytes.isEmpty());
    const auto root = open(QStringLiteral("cleared.qkb"), StorageMode::Read);
    EXPECT_EQ(readText(*root, QStringLiteral("1")), QString(document.size(), kNul));
}

TEST_F(StructuredStorage, PutGetAndFlushWorkOnCharacters)
{
    const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
    const auto stream = root->CreateStream(QStringLiteral("S"), StorageMode::ReadWrite);
    stream->Put(2, QStringLiteral("\u20acd"));
    stream->Put(1, QStringLiteral("b"));
    stream->Put(3, QStringLiteral("xyz"));
    QString whole(stream->GetSize(), u'?');
    stream->Get(0, whole);
    EXPECT_EQ(whole, kNul + QStringLiteral("b\u20acxyz"));

    QString tail(QStringLiteral("......"));
    stream->Get(4, tail);
    EXPECT_EQ(tail, QStringLiteral("yz....")) << "only what the stream has is filled in";
    stream->Get(9, tail);
    EXPECT_EQ(tail, QStringLiteral("yz...."));
    EXPECT_EQ(errorNumberOf([&] { stream->Put(-1, QStringLiteral("a")); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorNumberOf([&] { stream->Put(std::numeric_limits<qint64>::max(), QStringLiteral("a")); }),
              err::InvalidProcedureCall);

    EXPECT_EQ(readText(*root, QStringLiteral("S")), QString()) << "not flushed yet";
    root->Commit();
    EXPECT_EQ(readText(*open(QStringLiteral("kb.qkb"), StorageMode::Read), QStringLiteral("S")), QString());
}

TEST_F(StructuredStorage, StoredStringIsReadBehindItsCount)
{
    const auto root = open(QStringLiteral("old.qkb"), StorageMode::ReadWrite);
    storeText(*root, QStringLiteral("GUID"), QStringLiteral("\x05") + QString(3, kNul) + QStringLiteral("01ABCtrailing"));
    storeText(*root, QStringLiteral("Short"), QStringLiteral("\x09") + QString(3, kNul) + QStringLiteral("01"));
    root->Commit();
    const auto stored = open(QStringLiteral("old.qkb"), StorageMode::Read);
    EXPECT_EQ(stored->OpenStream(QStringLiteral("GUID"), StorageMode::Read)->GetString(), QStringLiteral("01ABC"));
    EXPECT_EQ(errorNumberOf([&] { stored->OpenStream(QStringLiteral("Short"), StorageMode::Read)->GetString(); }),
              err::InvalidFileFormat);
}

TEST_F(StructuredStorage, ModesNamesAndForeignFilesAreChecked)
{
    EXPECT_EQ(errorNumberOf([&] { open(QStringLiteral("missing.qkb"), StorageMode::Read); }), err::FileNotFound);
    {
        const auto root = open(QStringLiteral("kb.qkb"), StorageMode::ReadWrite);
        storeText(*root, QStringLiteral("A"), QStringLiteral("old"));
        for (const QString& bad : {QString(), QString(32, u'n'), QStringLiteral("a/b"), QStringLiteral("a!")})
            EXPECT_EQ(errorNumberOf([&] { root->CreateStream(bad, StorageMode::Write); }), err::InvalidProcedureCall);
        EXPECT_EQ(errorNumberOf([&] { root->OpenStream(QStringLiteral("A"), StorageMode::Read)->Put(0, "x"); }),
                  err::BadFileMode);
        EXPECT_EQ(root->CreateStream(QStringLiteral("a"), StorageMode::Write)->GetSize(), 0) << "replaced, empty";
        EXPECT_EQ(root->StreamNames(), QStringList({"A"}));
        root->Commit();
    }
    const auto readOnly = open(QStringLiteral("kb.qkb"), StorageMode::Read);
    EXPECT_EQ(errorNumberOf([&] { readOnly->OpenStream(QStringLiteral("B"), StorageMode::Read); }), err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { readOnly->OpenStream(QStringLiteral("A"), StorageMode::Write); }), err::BadFileMode);
    EXPECT_EQ(errorNumberOf([&] { readOnly->Commit(); }), err::BadFileMode);

    const QString text = testFile(QStringLiteral("notes.txt"));
    ASSERT_TRUE(writeFile(text, "<?xml version='1.0'?><kelvanedocument/>"));
    EXPECT_EQ(errorNumberOf([&] { storage.OpenStorage(text, StorageMode::ReadWrite); }), err::InvalidFileFormat);
    EXPECT_EQ(fileBytes(text), QByteArray("<?xml version='1.0'?><kelvanedocument/>"));
    ASSERT_TRUE(writeFile(testFile(QStringLiteral("empty.qkb")), {}));
    EXPECT_TRUE(open(QStringLiteral("empty.qkb"), StorageMode::Read)->StreamNames().isEmpty());
}

TEST_F(StructuredStorage, FailedCommitLeavesThePreviousFileIntact)
{
    const QString path = testFile(QStringLiteral("kb.qkb"));
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
    EXPECT_EQ(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden), QStringList({"kb.qkb"}))
        << "no half-written file left behind";

    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_EQ(errorNumberOf([&] { root->Commit(); }), err::PathFileAccess) << "a read-only file is not replaced";
    EXPECT_EQ(fileBytes(path), before);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    root->Commit();
    EXPECT_EQ(readText(*storage.OpenStorage(path, StorageMode::Read), QStringLiteral("1")), QString(20000, u'n'));

    const auto lost = storage.OpenStorage(testFile(QStringLiteral("no/such/folder/kb.qkb")), StorageMode::ReadWrite);
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
    EXPECT_EQ(storage.calls(), QStringList({"OpenStorage a.qkb 18", "OpenStream 1 17", "CreateStream 1 17",
                                            "GetSize 1", "Put 1 0 0", "Flush 1", "Put 1 0 4", "Flush 1",
                                            "Commit a.qkb"}));
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
