#include "platform/CompoundFile.h"
#include "platform/GsfStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace kelvane::test;
using platform::StorageEntry;
using platform::StorageMode;
namespace compoundfile = platform::compoundfile;

namespace {

QString scratchFile(const QString& name) { return scratchFolder() + u'/' + name; }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

StorageEntry stream(const QString& name, const QByteArray& bytes)
{
    StorageEntry entry;
    entry.name = name;
    entry.bytes = bytes;
    return entry;
}

// The streams of a knowledge base with two networks, as the diagram control writes them.
QList<std::pair<QString, QString>> knowledgeBaseStreams()
{
    const QString network = QStringLiteral(
        "<?xml version='1.0' encoding='UTF-8'?>\n<!DOCTYPE kelvanedocument>\n\n<kelvanedocument>\n\n"
        "<network name=\"Caf\u00e9 \u20ac\">%1</network>\n</kelvanedocument>\r\n");
    return {
        {QStringLiteral("Picture"), QStringLiteral("<<END OF FILE>>")},
        {QStringLiteral("Background"), QStringLiteral("<<END OF FILE>>")},
        {QStringLiteral("GUID"), QStringLiteral("{11111111-2222-3333-4444-555555555555}")},
        {QStringLiteral("Networks"), QStringLiteral("2")},
        {QStringLiteral("GUID1"), QStringLiteral("{11111111-2222-3333-4444-555555555555}")},
        {QStringLiteral("GUID2"), QStringLiteral("{66666666-7777-8888-9999-000000000000}")},
        {QStringLiteral("1"), network.arg(QString(6000, u'x'))}, // beyond the small-block limit
        {QStringLiteral("2"), network.arg(QStringLiteral("lower level"))},
    };
}

QByteArray knowledgeBaseFile()
{
    const QString path = scratchFile(QStringLiteral("sample.qkb"));
    QFile::remove(path);
    const auto root = platform::GsfStructuredStorage().OpenStorage(path, StorageMode::ReadWrite);
    for (const auto& [name, text] : knowledgeBaseStreams())
        storeText(*root, name, text);
    root->Commit();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Opens the bytes as a compound file and reads every stream; the error number when that
// fails (0 when it works). Any failure other than the error type counts as a fault.
int openAndReadEverything(const QByteArray& bytes)
{
    return errorNumberOf([&] {
        const QString path = scratchFile(QStringLiteral("damaged.qkb"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write the damaged file");
        file.close();
        const auto root = platform::GsfStructuredStorage().OpenStorage(path, StorageMode::Read);
        for (const QString& name : root->StreamNames())
            readText(*root, name);
    });
}

// A python3 that has the olefile module, when the machine has one.
std::optional<QString> pythonWithOlefile()
{
    QStringList candidates {QStandardPaths::findExecutable(QStringLiteral("python3")), QStringLiteral("/usr/bin/python3")};
    for (const QString& python : candidates) {
        if (python.isEmpty())
            continue;
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import olefile")});
        if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return python;
        probe.kill();
        probe.waitForFinished(1000);
    }
    return std::nullopt;
}

} // namespace

TEST(CompoundFile, IndependentReaderListsTheStreamsAndReadsTheirText)
{
    const auto python = pythonWithOlefile();
    if (!python)
        GTEST_SKIP() << "python3 with the olefile module is not installed; the independent check is skipped";
    knowledgeBaseFile();

    const char* script = R"(
import json, sys, olefile
path = sys.argv[1]
assert olefile.isOleFile(path)
with olefile.OleFileIO(path) as ole:
    streams = {'/'.join(e): ole.openstream(e).read().hex() for e in ole.listdir(streams=True, storages=False)}
print(json.dumps(streams))
)";
    QProcess reader;
    reader.start(*python, {QStringLiteral("-c"), QString::fromUtf8(script), scratchFile(QStringLiteral("sample.qkb"))});
    ASSERT_TRUE(reader.waitForFinished(60000)) << "the independent reader did not finish";
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().constData();

    const QJsonObject streams = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    EXPECT_EQ(streams.size(), knowledgeBaseStreams().size());
    for (const auto& [name, text] : knowledgeBaseStreams()) {
        ASSERT_TRUE(streams.contains(name)) << qPrintable(name);
        EXPECT_EQ(QByteArray::fromHex(streams.value(name).toString().toLatin1()), text.toUtf8()) << qPrintable(name);
    }
}

TEST(CompoundFile, FilesMadeElsewhereAreReadAndWhatWeDoNotTouchIsKept)
{
    StorageEntry root = StorageEntry::emptyRoot();
    root.classId = QByteArray("0123456789abcdef");
    root.children.push_back(stream(QStringLiteral("Ansi"), QByteArray("caf\xe9 \x80")));
    root.children.push_back(stream(QStringLiteral("Wide"), QByteArray("\x06\0\0\0\0\0h\0i\0", 10)));
    StorageEntry inner;
    inner.name = QStringLiteral("Sub");
    inner.isStorage = true;
    inner.classId = QByteArray("fedcba9876543210");
    inner.children.push_back(stream(QStringLiteral("Inner"), QByteArray("\x01\x02\xff", 3)));
    root.children.push_back(inner);
    const QString path = scratchFile(QStringLiteral("elsewhere.qkb"));
    writeFile(path, compoundfile::write(root));

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

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const StorageEntry saved = compoundfile::read(file.readAll());
    EXPECT_EQ(saved.classId, root.classId);
    ASSERT_NE(saved.findChild(QStringLiteral("Ansi")), nullptr);
    EXPECT_EQ(saved.findChild(QStringLiteral("Ansi"))->bytes, QByteArray("caf\xe9 \x80")) << "untouched bytes stay";
    const StorageEntry* sub = saved.findChild(QStringLiteral("Sub"));
    ASSERT_TRUE(sub && sub->isStorage);
    EXPECT_EQ(sub->classId, inner.classId);
    ASSERT_NE(sub->findChild(QStringLiteral("Inner")), nullptr);
    EXPECT_EQ(sub->findChild(QStringLiteral("Inner"))->bytes, QByteArray("\x01\x02\xff", 3));
    EXPECT_EQ(saved.findChild(QStringLiteral("New"))->bytes, QByteArray("added"));
}

TEST(CompoundFile, TruncatedFilesFailCleanly)
{
    const QByteArray whole = knowledgeBaseFile();
    ASSERT_GT(whole.size(), 4096);
    ASSERT_EQ(openAndReadEverything(whole), 0);
    int refused = 0;
    for (qsizetype length = 1; length < whole.size(); length += 61) {
        const int number = openAndReadEverything(whole.left(length));
        EXPECT_TRUE(number == 0 || number == kelvane::err::InvalidFileFormat) << "length " << length << ": " << number;
        refused += number != 0;
    }
    EXPECT_EQ(openAndReadEverything(whole.left(511)), kelvane::err::InvalidFileFormat) << "a cut header";
    EXPECT_GT(refused, 0);
}

TEST(CompoundFile, DamagedBytesFailCleanly)
{
    const QByteArray whole = knowledgeBaseFile();
    std::mt19937 random(20240611u);
    for (int round = 0; round < 400; ++round) {
        QByteArray damaged = whole;
        const int flips = 1 + static_cast<int>(random() % 4);
        // Half the rounds hit the header and directory sectors, where damage matters most.
        const qsizetype span = round % 2 ? damaged.size() : std::min<qsizetype>(1024, damaged.size());
        for (int i = 0; i < flips; ++i)
            damaged[random() % span] ^= static_cast<char>(1u << (random() % 8));
        const int number = openAndReadEverything(damaged);
        EXPECT_TRUE(number == 0 || number == kelvane::err::InvalidFileFormat) << "round " << round << ": " << number;
    }
    // Entries beside the root entry: libgsf would lose them, so the file is refused.
    QByteArray siblings = whole;
    const qsizetype rootEntry = (qFromLittleEndian<quint32>(whole.constData() + 0x30) + 1) * 512;
    qToLittleEndian<quint32>(1, siblings.data() + rootEntry + 0x48);
    EXPECT_EQ(openAndReadEverything(siblings), kelvane::err::InvalidFileFormat);

    QByteArray garbage(3000, Qt::Uninitialized);
    for (char& byte : garbage)
        byte = static_cast<char>(random());
    EXPECT_EQ(openAndReadEverything(garbage), kelvane::err::InvalidFileFormat);
}
