#include "platform/CompoundFile.h"
#include "platform/GsfStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/CraftedCompoundFile.h"
#include "tests/support/IndependentOleReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include <bit>
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

// The directory of the file as the independent reader sees it: for every entry its name, type,
// left and right siblings, child and colour (0 red, 1 black); null for unused entries.
QJsonArray directoryOf(const QString& python, const QString& path)
{
    const char* script = R"(
import json, sys, olefile
with olefile.OleFileIO(sys.argv[1]) as ole:
    print(json.dumps([[e.name, e.entry_type, e.sid_left, e.sid_right, e.sid_child, e.color] if e else None
                      for e in ole.direntries]))
)";
    QProcess reader;
    reader.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        return {};
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
}

// The format's order of names: the shorter first, names of one length by their letters in upper case.
bool precedes(const QString& a, const QString& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a.toUpper() < b.toUpper();
}

// A storage's sibling tree as the independent reader sees it, walked in order.
struct SiblingTree {
    static constexpr qint64 kNone = 0xFFFFFFFF; // the reader's "no entry"
    explicit SiblingTree(const QJsonArray& entries) : directory(entries) {}

    const QJsonArray& directory;
    QStringList inOrder;
    int deepest = 0;
    QString fault;

    // The number of black entries on every path down from `entry`; a fault when they differ.
    int blackHeight(qint64 entry, int depth, bool belowRed)
    {
        if (entry == kNone || !fault.isEmpty())
            return 0;
        if (depth > directory.size()) {
            fault = QStringLiteral("a loop");
            return 0;
        }
        const QJsonArray fields = directory.at(entry).toArray();
        const bool red = fields.at(5).toInt() == 0;
        if (red && (belowRed || depth == 1))
            fault = QStringLiteral("a red entry at the root or below a red one");
        deepest = std::max(deepest, depth);
        const int left = blackHeight(fields.at(2).toInteger(kNone), depth + 1, red);
        inOrder << fields.at(0).toString();
        if (left != blackHeight(fields.at(3).toInteger(kNone), depth + 1, red) && fault.isEmpty())
            fault = QStringLiteral("paths of different black heights");
        return left + (red ? 0 : 1);
    }
};

// What is wrong with the sibling tree below `storage`: not ordered, not balanced, or not a
// red-black tree; empty when nothing is.
QString siblingTreeFault(const QJsonArray& directory, int storage)
{
    SiblingTree tree(directory);
    tree.blackHeight(directory.at(storage).toArray().at(4).toInteger(SiblingTree::kNone), 1, false);
    for (qsizetype i = 1; i < tree.inOrder.size() && tree.fault.isEmpty(); ++i) {
        if (!precedes(tree.inOrder[i - 1], tree.inOrder[i]))
            tree.fault = QStringLiteral("\"%1\" before \"%2\"").arg(tree.inOrder[i - 1], tree.inOrder[i]);
    }
    if (tree.fault.isEmpty() && tree.deepest > int(std::bit_width(unsigned(tree.inOrder.size()))))
        tree.fault = QStringLiteral("%1 entries %2 deep").arg(tree.inOrder.size()).arg(tree.deepest);
    return tree.fault;
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

TEST(CompoundFile, EveryStorageIsWrittenAsABalancedTreeInTheFormatsOrderAndReadsBack)
{
    const auto python = kelvane::test::pythonWithOlefile();
    if (!python)
        GTEST_SKIP() << "python3 with the olefile module is not installed: the independent check is skipped";
    // Names of every length, in mixed case, given in no order.
    std::vector<StorageEntry> inner;
    StorageEntry root = StorageEntry::emptyRoot();
    for (int i = 0; i < 300; ++i) {
        const QString name = (i % 3 ? QStringLiteral("m\u00e9") : QStringLiteral("M\u00c9x")) + QString::number(i * 7919 % 1000);
        root.children.push_back(entry(name, QByteArray::number(i)));
        inner.push_back(entry(u'S' + name, QByteArray::number(i)));
    }
    root.children.push_back(entry(QStringLiteral("Sub"), {}, inner));

    const QString inMemory = testFile(QStringLiteral("memory.qkb"));
    ASSERT_TRUE(writeFile(inMemory, compoundfile::write(root)));
    const QString onDisk = testFile(QStringLiteral("disk.qkb"));
    {
        const auto storage = platform::GsfStructuredStorage().OpenStorage(onDisk, StorageMode::ReadWrite);
        for (const StorageEntry& child : root.children) {
            if (!child.isStorage)
                storeText(*storage, child.name, QString::fromLatin1(child.bytes));
        }
        storage->Commit();
    }
    for (const QString& path : {inMemory, onDisk}) {
        const QJsonArray directory = directoryOf(*python, path);
        ASSERT_FALSE(directory.isEmpty()) << "the independent reader cannot read " << qPrintable(path);
        int storages = 0;
        for (int i = 0; i < directory.size(); ++i) {
            const int type = directory.at(i).toArray().at(1).toInt();
            if (type != 1 && type != 5)
                continue;
            ++storages;
            const QString fault = siblingTreeFault(directory, i);
            EXPECT_TRUE(fault.isEmpty()) << qPrintable(path) << " storage " << i << ": " << qPrintable(fault);
        }
        EXPECT_EQ(storages, path == inMemory ? 2 : 1);

        const StorageEntry read = compoundfile::read(fileBytes(path));
        ASSERT_EQ(read.children.size(), path == inMemory ? 301u : 300u);
        for (const StorageEntry& child : root.children) {
            const StorageEntry* found = read.findChild(child.name);
            ASSERT_TRUE(found || child.isStorage) << qPrintable(child.name);
            if (found) {
                EXPECT_EQ(found->children.size(), child.children.size());
            }
        }
    }
}

TEST(CompoundFile, DirectoriesThatLoopShareEntriesNestDeeplyOrHoldTooManyAreRefused)
{
    namespace crafted = kelvane::test::crafted;
    // A storage's entries in one long chain, as earlier versions wrote them, still open.
    const QByteArray chain = crafted::compoundFile(crafted::chainedStreams(3000));
    const QString path = testFile(QStringLiteral("chain.qkb"));
    ASSERT_TRUE(writeFile(path, chain));
    EXPECT_EQ(platform::GsfStructuredStorage().OpenStorage(path, StorageMode::Read)->StreamNames().size(), 3000);

    // More entries than a file may hold, chained deeper than the reader's stack reaches.
    EXPECT_EQ(openAndReadEverything(crafted::compoundFile(crafted::chainedStreams(100000))),
              kelvane::err::InvalidFileFormat);

    std::vector<crafted::Entry> loop = crafted::chainedStreams(3);
    loop[3].right = 2;
    EXPECT_EQ(openAndReadEverything(crafted::compoundFile(loop)), kelvane::err::InvalidFileFormat) << "a loop";

    std::vector<crafted::Entry> shared = crafted::chainedStreams(2);
    shared[2] = {QStringLiteral("Sub"), crafted::kStorage, crafted::kNoEntry, crafted::kNoEntry, 1};
    EXPECT_EQ(openAndReadEverything(crafted::compoundFile(shared)), kelvane::err::InvalidFileFormat)
        << "an entry that is both a sibling and a child";

    std::vector<crafted::Entry> nested = crafted::chainedStreams(0);
    nested[0].child = 1;
    for (quint32 level = 1; level <= 70; ++level)
        nested.push_back({QStringLiteral("L%1").arg(level), crafted::kStorage, crafted::kNoEntry, crafted::kNoEntry,
                          level < 70 ? level + 1 : crafted::kNoEntry});
    EXPECT_EQ(openAndReadEverything(crafted::compoundFile(nested)), kelvane::err::InvalidFileFormat) << "nested";

    std::vector<crafted::Entry> outside = crafted::chainedStreams(2);
    outside[1].left = 40;
    EXPECT_EQ(openAndReadEverything(crafted::compoundFile(outside)), kelvane::err::InvalidFileFormat)
        << "a link beyond the directory";
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
