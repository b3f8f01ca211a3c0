#include "platform/CompoundFile.h"
#include "platform/GsfStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/IndependentOleReader.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <optional>
#include <random>

using namespace kelvane::test;
using platform::StorageEntry;
using platform::StorageMode;
namespace compoundfile = platform::compoundfile;

namespace {

StorageEntry entry(const QString& name, const QByteArray& bytes, std::vector<StorageEntry> children = {})
{
    StorageEntry e;
    e.name = name;
    e.bytes = bytes;
    e.isStorage = !children.empty();
    e.children = std::move(children);
    return e;
}

// The streams of a knowledge base with two networks, as the diagram control writes them.
QList<std::pair<QString, QString>> knowledgeBaseStreams()
{
    const QString network = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\n<!DOCTYPE kelvanedocument>\n\n"
                                           "<kelvanedocument>\n\n<network name=\"Caf\u00e9 \u20ac\">%1</network>\n"
                                           "</kelvanedocument>\r\n");
    const QString guid1 = QStringLiteral("{11111111-2222-3333-4444-555555555555}");
    return {{QStringLiteral("Picture"), QStringLiteral("<<END OF FILE>>")},
            {QStringLiteral("Background"), QStringLiteral("<<END OF FILE>>")},
            {QStringLiteral("GUID"), guid1},
            {QStringLiteral("Networks"), QStringLiteral("2")},
            {QStringLiteral("GUID1"), guid1},
            {QStringLiteral("GUID2"), QStringLiteral("{66666666-7777-8888-9999-000000000000}")},
            {QStringLiteral("1"), network.arg(QString(6000, u'x'))}, // beyond the small-block limit
            {QStringLiteral("2"), network.arg(QStringLiteral("lower level"))}};
}

QByteArray writeKnowledgeBase(const QString& path)
{
    const auto root = platform::GsfStructuredStorage().OpenStorage(path, StorageMode::ReadWrite);
    for (const auto& [name, text] : knowledgeBaseStreams())
        storeText(*root, name, text);
    root->Commit();
    return fileBytes(path);
}

// Opens the bytes as a compound file and reads every stream: the error number when that
// fails, 0 when it works. Anything but the error type escapes and fails the test.
int openAndReadEverything(const QByteArray& bytes)
{
    const QString path = testFile(QStringLiteral("damaged.qkb"));
    if (!writeFile(path, bytes))
        return -1;
    return errorNumberOf([&] {
        const auto root = platform::GsfStructuredStorage().OpenStorage(path, StorageMode::Read);
        for (const QString& name : root->StreamNames())
            readText(*root, name);
    });
}

} // namespace

TEST(CompoundFile, IndependentReaderListsTheStreamsAndReadsTheirText)
{
    const auto python = kelvane::test::pythonWithOlefile();
    if (!python)
        GTEST_SKIP() << "python3 with the olefile module is not installed: the independent check is skipped";
    const QString path = testFile(QStringLiteral("kb.qkb"));
    writeKnowledgeBase(path);

    const char* script = R"(
import json, sys, olefile
assert olefile.isOleFile(sys.argv[1])
with olefile.OleFileIO(sys.argv[1]) as ole:
    print(json.dumps({'/'.join(e): ole.openstream(e).read().hex() for e in ole.listdir()}))
)";
    QProcess reader;
    reader.start(*python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    ASSERT_TRUE(reader.waitForFinished(60000)) << "the independent reader did not finish";
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().constData();

    const QJsonObject streams = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    EXPECT_EQ(streams.size(), knowledgeBaseStreams().size());
    for (const auto& [name, text] : knowledgeBaseStreams())
        EXPECT_EQ(QByteArray::fromHex(streams.value(name).toString().toLatin1()), text.toUtf8()) << qPrintable(name);
}

TEST(CompoundFile, FilesMadeElsewhereAreReadAndWhatWeDoNotTouchIsKept)
{
    StorageEntry root = StorageEntry::emptyRoot();
    root.classId = QByteArray("0123456789abcdef");
    root.children.push_back(entry(QStringLiteral("Ansi"), QByteArray("caf\xe9 \x80")));
    root.children.push_back(entry(QStringLiteral("Wide"), QByteArray("\x06\0\0\0\0\0h\0i\0", 10)));
    root.children.push_back(entry(QStringLiteral("Sub"), {}, {entry(QStringLiteral("Inner"), "\x01\xff")}));
    root.children.back().classId = QByteArray("fedcba9876543210");
    const QString path = testFile(QStringLiteral("elsewhere.qkb"));
    ASSERT_TRUE(writeFile(path, compoundfile::write(root)));
    {
        const auto storage = platform::GsfStructuredStorage().OpenStorage(path, StorageMode::ReadWrite);
        QStringList names = storage->StreamNames();
        names.sort();
        EXPECT_EQ(names, QStringList({"Ansi", "Wide"})) << "storages are not streams";
        EXPECT_EQ(readText(*storage, QStringLiteral("Ansi")), QStringLiteral("caf\u00e9 \u20ac")) << "Windows-1252";
        EXPECT_EQ(readText(*storage, QStringLiteral("Wide")), QString::fromLatin1("\x06\0\0\0\0\0h\0i\0", 10))
            << "wide text comes back one byte per character";
        storeText(*storage, QStringLiteral("New"), QStringLiteral("added"));
        storage->Commit();
    }
    const StorageEntry saved = compoundfile::read(fileBytes(path));
    EXPECT_EQ(saved.classId, root.classId);
    EXPECT_EQ(saved.findChild(QStringLiteral("Ansi"))->bytes, QByteArray("caf\xe9 \x80")) << "untouched bytes stay";
    EXPECT_EQ(saved.findChild(QStringLiteral("New"))->bytes, QByteArray("added"));
    const StorageEntry* sub = saved.findChild(QStringLiteral("Sub"));
    ASSERT_TRUE(sub && sub->isStorage && sub->findChild(QStringLiteral("Inner")));
    EXPECT_EQ(sub->classId, QByteArray("fedcba9876543210"));
    EXPECT_EQ(sub->findChild(QStringLiteral("Inner"))->bytes, QByteArray("\x01\xff"));
}

TEST(CompoundFile, TruncatedOrDamagedFilesFailCleanly)
{
    const QByteArray whole = writeKnowledgeBase(testFile(QStringLiteral("kb.qkb")));
    ASSERT_EQ(openAndReadEverything(whole), 0);
    for (qsizetype length = 1; length < whole.size(); length += 61) {
        const int number = openAndReadEverything(whole.left(length));
        EXPECT_TRUE(number == 0 || number == kelvane::err::InvalidFileFormat) << "length " << length << ": " << number;
    }
    EXPECT_EQ(openAndReadEverything(whole.left(511)), kelvane::err::InvalidFileFormat) << "a cut header";
    EXPECT_EQ(openAndReadEverything(whole.left(whole.size() / 2)), kelvane::err::InvalidFileFormat);

    std::mt19937 random(20240611u);
    for (int round = 0; round < 400; ++round) {
        QByteArray damaged = whole;
        // Every other round hits the header and the first sector, where damage matters most.
        const qsizetype span = round % 2 ? damaged.size() : 1024;
        for (int flips = 1 + random() % 4; flips > 0; --flips)
            damaged[random() % span] ^= static_cast<char>(1u << (random() % 8));
        const int number = openAndReadEverything(damaged);
        EXPECT_TRUE(number == 0 || number == kelvane::err::InvalidFileFormat) << "round " << round << ": " << number;
    }

    // Entries beside the root entry, which libgsf would lose: refused.
    QByteArray siblings = whole;
    const qsizetype rootEntry = (qFromLittleEndian<quint32>(whole.constData() + 0x30) + 1) * 512;
    qToLittleEndian<quint32>(1, siblings.data() + rootEntry + 0x48);
    EXPECT_EQ(openAndReadEverything(siblings), kelvane::err::InvalidFileFormat);

    QByteArray garbage(3000, Qt::Uninitialized);
    for (char& byte : garbage)
        byte = static_cast<char>(random());
    EXPECT_EQ(openAndReadEverything(garbage), kelvane::err::InvalidFileFormat);
}

TEST(CompoundFile, ChildrenAreFoundByNameWithoutLookingThroughTheOthers)
{
    StorageEntry storage = StorageEntry::emptyRoot();
    constexpr int kCount = 20000;
    for (int i = 0; i < kCount; ++i)
        storage.children.push_back(entry(QStringLiteral("Module%1").arg(i), QByteArray::number(i)));
    storage.children.push_back(entry(QStringLiteral("MODULE7"), "a second of that name"));
    const StorageEntry& stored = storage;
    for (int i = 0; i < kCount; i += 7) {
        const StorageEntry* found = stored.findChild(QStringLiteral("mOdUlE%1").arg(i));
        ASSERT_TRUE(found) << i;
        EXPECT_EQ(found->bytes, QByteArray::number(i));
    }
    EXPECT_FALSE(stored.findChild(QStringLiteral("Module%1").arg(kCount)));
    EXPECT_EQ(stored.findChild(QStringLiteral("module7"))->bytes, "7") << "the first of a name is found";
    EXPECT_LE(stored.children.entriesVisited(), kCount / 7 + 3) << "one entry looked at for each name found";

    storage.children.eraseIf([](const StorageEntry& child) { return child.name.startsWith(u"Module") && child.name.endsWith(u'7'); });
    EXPECT_EQ(storage.findChild(QStringLiteral("module7"))->bytes, "a second of that name")
        << "what is taken out is no longer found";
    EXPECT_EQ(storage.findChild(QStringLiteral("Module8"))->bytes, "8");
}
