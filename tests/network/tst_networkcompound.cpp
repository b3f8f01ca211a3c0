// Networks in compound files: FileStore and FileRestore.
#include "NetworkBuilder.h"
#include "NetworkReadTest.h"

#include "platform/BufferedRootStorage.h"
#include "platform/CompoundFile.h"
#include "platform/GsfStructuredStorage.h"
#include "platform/TextEncoding.h"
#include "platform/doubles/MemoryStructuredStorage.h"
#include "tests/platform/StorageTestHelpers.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

using namespace kelvane;
using namespace kelvane::test;
using platform::StorageMode;
using platform::doubles::MemoryStructuredStorage;

namespace {

const QString kFile = QStringLiteral("cars.qkb");
const QString kEndOfFile = QStringLiteral("<<END OF FILE>>");

// The document of a network's stream.
QString streamDocument(clsNetwork& network)
{
    return QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\r\n<!DOCTYPE kelvanedocument>\r\n\r\n"
                          "<kelvanedocument>\r\n\r\n")
        + network.SerializeOutXML() + QStringLiteral("\r\n</kelvanedocument>");
}

// What FileStore writes: the document and the CR LF that ends the stream's content.
QString streamContent(clsNetwork& network)
{
    return streamDocument(network) + QStringLiteral("\r\n");
}

// A network with a node in each of two layers, the upper one linked to the lower.
std::shared_ptr<clsNetwork> smallNetwork(const char* upper, const char* lower, qint16 index)
{
    NetworkBuilder build({lower, upper});
    build.links((std::string(upper) + '>' + lower).c_str());
    build.network->Index = index;
    return build.network;
}

// Writes the streams of a knowledge base the way the diagram control does: the pictures,
// the main network's GUID, the number of networks and their GUIDs, then each network.
void storeKnowledgeBase(platform::RootStorage& root, const std::vector<std::shared_ptr<clsNetwork>>& networks)
{
    storeText(root, QStringLiteral("Picture"), QStringLiteral("GIF89a\x01\x02") + kEndOfFile);
    storeText(root, QStringLiteral("Background"), kEndOfFile);
    storeText(root, QStringLiteral("GUID"), networks.front()->GUID());
    storeText(root, QStringLiteral("Networks"), QString::number(networks.size()));
    for (std::size_t i = 0; i < networks.size(); ++i)
        storeText(root, QStringLiteral("GUID%1").arg(i + 1), networks[i]->GUID());
    for (const auto& network : networks) {
        network->Saved = false;
        ASSERT_TRUE(network->FileStore(root));
    }
    root.Commit();
}

class CompoundFileTest : public NetworkReadTest {
protected:
    std::shared_ptr<platform::RootStorage> openStorage(StorageMode mode = StorageMode::ReadWrite)
    {
        return memory.OpenStorage(kFile, mode);
    }

    // Puts streams with exactly these bytes into the file.
    void putStreams(const std::vector<std::pair<QString, QByteArray>>& streams)
    {
        platform::StorageEntry root = platform::StorageEntry::emptyRoot();
        for (const auto& [name, bytes] : streams) {
            platform::StorageEntry stream;
            stream.name = name;
            stream.bytes = bytes;
            root.children.push_back(stream);
        }
        memory.files()[kFile] = root;
    }

    bool restore(const QString& guid)
    {
        restored = clsNetwork::create();
        return restored->FileRestore(*openStorage(StorageMode::Read), guid);
    }

    MemoryStructuredStorage memory;
    std::shared_ptr<clsNetwork> restored;
};

} // namespace

TEST_F(CompoundFileTest, StoreCreatesTheNumberedStreamWithTheDocument)
{
    const auto network = smallNetwork("Stalls", "Fuel", 1);
    network->setDirty(true);
    const auto root = openStorage();
    memory.calls().clear();

    ASSERT_TRUE(network->FileStore(*root));
    const QString content = streamContent(*network);
    EXPECT_EQ(memory.calls(), (QStringList {QStringLiteral("OpenStream 1 17"), QStringLiteral("CreateStream 1 17"),
                                            QStringLiteral("GetSize 1"), QStringLiteral("Put 1 0 0"),
                                            QStringLiteral("Flush 1"),
                                            QStringLiteral("Put 1 0 %1").arg(content.size()),
                                            QStringLiteral("Flush 1")}));
    root->Commit();
    EXPECT_EQ(memory.streamText(kFile, QStringLiteral("1")), content);
    EXPECT_FALSE(network->Dirty());
    EXPECT_TRUE(network->Saved);

    // Saved: a second store writes nothing.
    memory.calls().clear();
    EXPECT_FALSE(network->FileStore(*root));
    EXPECT_TRUE(memory.calls().isEmpty());
}

TEST_F(CompoundFileTest, ShorterNetworkOverALongerStreamRestoresExactly)
{
    NetworkBuilder longer;
    for (int i = 0; i < 6; ++i)
        longer.node(1, "A long node name number " + std::to_string(i));
    longer.network->Index = 1;
    storeKnowledgeBase(*openStorage(), {longer.network});

    const auto shorter = smallNetwork("Stalls", "Fuel", 1);
    storeKnowledgeBase(*openStorage(), {shorter});
    const QString stored = memory.streamText(kFile, QStringLiteral("1"));
    EXPECT_TRUE(stored.startsWith(streamContent(*shorter) + QChar(u'\0')));

    ASSERT_TRUE(restore(shorter->GUID()));
    EXPECT_TRUE(ui->messageBoxes.empty());
    EXPECT_EQ(restored->GUID(), shorter->GUID());
    EXPECT_EQ(layerNames(*restored), (std::vector<std::string> {"Fuel", "Stalls"}));
    EXPECT_FALSE(restored->Dirty());
}

TEST_F(CompoundFileTest, RestoreFindsTheNetworkThroughItsGUIDStream)
{
    const auto main = smallNetwork("Stalls", "Fuel", 1);
    const auto lower = smallNetwork("Pump", "Fuse", 2);
    storeKnowledgeBase(*openStorage(), {main, lower});

    ASSERT_TRUE(restore(QStringLiteral(" ") + lower->GUID() + QStringLiteral("\r ")));
    EXPECT_EQ(layerNames(*restored), (std::vector<std::string> {"Fuse", "Pump"}));

    // A GUID no "GUID" i stream names: the read fails and is reported.
    EXPECT_FALSE(restore(QStringLiteral("0199")));
    EXPECT_TRUE(reportedBy("FileRestore"));
}

TEST_F(CompoundFileTest, RestoreAcceptsAStreamNamedByTheGUID)
{
    auto network = smallNetwork("Stalls", "Fuel", 1);
    network->setGUID(QStringLiteral("0142"));
    putStreams({{QStringLiteral("Networks"), "1"},
                {QStringLiteral("GUID1"), "0199"},
                {QStringLiteral("0142"), streamContent(*network).toUtf8()}});
    ASSERT_TRUE(restore(QStringLiteral("0142")));
    EXPECT_EQ(layerNames(*restored), (std::vector<std::string> {"Fuel", "Stalls"}));
}

TEST_F(CompoundFileTest, StreamsWithABinaryHeaderAndWideTextAreRead)
{
    const auto network = smallNetwork("Stalls", "Fuel", 1);
    // A four-byte length and a two-byte type before text of two bytes a character.
    QByteArray wide("\x1c\x02\x00\x00\x08\x00", 6);
    const QString document = streamDocument(*network);
    for (const QChar c : document) {
        wide.append(static_cast<char>(c.unicode()));
        wide.append('\0');
    }
    putStreams({{QStringLiteral("Networks"), QByteArray("\x05\x01\x02\x03" "1\0\0", 7)},
                {QStringLiteral("GUID1"), network->GUID().toLatin1() + QByteArray(3, '\0')},
                {QStringLiteral("1"), wide}});
    ASSERT_TRUE(restore(network->GUID()));
    EXPECT_EQ(layerNames(*restored), (std::vector<std::string> {"Fuel", "Stalls"}));
}

TEST_F(CompoundFileTest, StreamOfTheOlderTextFormIsReadByItsReaderAndCopiedToTheClipboard)
{
    const QByteArray older = "h}h}{LAYERS=1;NODES=1;}{NAME=Old;POSITION=(1,1);}";
    putStreams({{QStringLiteral("Networks"), "1"}, {QStringLiteral("GUID1"), "0142"}, {QStringLiteral("1"), older}});
    ASSERT_TRUE(restore(QStringLiteral("0142")));
    EXPECT_EQ(layerNames(*restored), (std::vector<std::string> {"Old"}));
    EXPECT_EQ(ui->clipboard, QString::fromLatin1(older));
}

TEST_F(CompoundFileTest, FailuresWhileWritingAreReportedAndKeepTheNetworkDirty)
{
    for (const char* operation : {"GetSize", "Put", "Flush", "CreateStream"}) {
        SCOPED_TRACE(operation);
        MemoryStructuredStorage failing;
        failing.failOn(QString::fromLatin1(operation));
        const auto network = smallNetwork("Stalls", "Fuel", 1);
        network->setDirty(true);
        ui->messageBoxes.clear();
        EXPECT_FALSE(network->FileStore(*failing.OpenStorage(kFile, StorageMode::ReadWrite)));
        EXPECT_TRUE(reportedBy("FileStore"));
        EXPECT_TRUE(network->Dirty());
        EXPECT_FALSE(network->Saved);
    }

    // A storage opened for reading refuses the stream: it is not created instead.
    const auto network = smallNetwork("Stalls", "Fuel", 1);
    putStreams({{QStringLiteral("1"), "old"}});
    memory.calls().clear();
    EXPECT_FALSE(network->FileStore(*openStorage(StorageMode::Read)));
    EXPECT_FALSE(memory.calls().join(u' ').contains(QStringLiteral("CreateStream")));
}

TEST_F(CompoundFileTest, ReadOnlyFileIsNotWritten)
{
    const QString path = testFile(QStringLiteral("locked.qkb"));
    ASSERT_TRUE(writeFile(path, "x"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    const auto network = smallNetwork("Stalls", "Fuel", 1);
    network->setFileName(path);
    memory.calls().clear();
    EXPECT_FALSE(network->FileStore(*openStorage()));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, path + QStringLiteral(" is read only"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_FALSE(memory.calls().join(u' ').contains(QStringLiteral("Put")));
}

// The file the diagram control writes, read back by an independent reader of compound files.
TEST_F(CompoundFileTest, KnowledgeBaseFileIsReadableByAnotherReader)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    QProcess probe;
    probe.start(python.isEmpty() ? QStringLiteral("python3") : python, {QStringLiteral("-c"), QStringLiteral("import olefile")});
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0)
        GTEST_SKIP() << "python3 with olefile is not installed";

    const auto main = smallNetwork("Stalls", "Fuel", 1);
    const auto lower = smallNetwork("Pump", "Fuse", 2);
    const QString path = testFile(QStringLiteral("cars.qkb"));
    platform::GsfStructuredStorage compound;
    storeKnowledgeBase(*compound.OpenStorage(path, StorageMode::ReadWrite), {main, lower});

    const char* script = R"(
import json, sys, olefile
ole = olefile.OleFileIO(sys.argv[1])
print(json.dumps({'/'.join(e): ole.openstream(e).read().decode('utf-8') for e in ole.listdir()}))
)";
    QProcess reader;
    reader.start(probe.program(), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    ASSERT_TRUE(reader.waitForFinished(30000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QJsonObject streams = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();

    EXPECT_EQ(streams.keys(), (QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("Background"),
                                            QStringLiteral("GUID"), QStringLiteral("GUID1"), QStringLiteral("GUID2"),
                                            QStringLiteral("Networks"), QStringLiteral("Picture")}));
    EXPECT_EQ(streams[QStringLiteral("Picture")].toString(), QStringLiteral("GIF89a\x01\x02") + kEndOfFile);
    EXPECT_EQ(streams[QStringLiteral("Background")].toString(), kEndOfFile);
    EXPECT_EQ(streams[QStringLiteral("GUID")].toString(), main->GUID());
    EXPECT_EQ(streams[QStringLiteral("Networks")].toString(), QStringLiteral("2"));
    EXPECT_EQ(streams[QStringLiteral("GUID2")].toString(), lower->GUID());
    EXPECT_EQ(streams[QStringLiteral("1")].toString(), streamContent(*main));
    EXPECT_EQ(streams[QStringLiteral("2")].toString(), streamContent(*lower));

    // And our own reader finds both networks again.
    const auto root = compound.OpenStorage(path, StorageMode::Read);
    for (const auto& network : {main, lower}) {
        const auto copy = clsNetwork::create();
        ASSERT_TRUE(copy->FileRestore(*root, network->GUID()));
        EXPECT_EQ(layerNames(*copy), layerNames(*network));
    }
}

TEST_F(CompoundFileTest, DamagedFilesAndCutDocumentsEndInAReportedFailure)
{
    const auto network = smallNetwork("Stalls", "Fuel", 1);
    const QString path = testFile(QStringLiteral("cars.qkb"));
    storeKnowledgeBase(*platform::GsfStructuredStorage().OpenStorage(path, StorageMode::ReadWrite), {network});
    const QByteArray good = fileBytes(path);

    // Truncated or bit-flipped files either do not open as compound files, or the network
    // read from them fails with a report, or (a flip in unused space) reads.
    QRandomGenerator random(11);
    const auto tryRestore = [&](const QByteArray& bytes) {
        std::optional<platform::StorageEntry> content;
        try {
            content = platform::compoundfile::read(bytes);
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number(), err::InvalidFileFormat);
            return;
        }
        platform::BufferedRootStorage root(path, StorageMode::Read, *content, {});
        ui->messageBoxes.clear();
        const auto copy = clsNetwork::create();
        if (!copy->FileRestore(root, network->GUID())) {
            EXPECT_FALSE(ui->messageBoxes.empty());
        }
    };
    for (qsizetype length = 0; length < good.size(); length += 1 + random.bounded(700))
        tryRestore(good.left(length));
    for (int round = 0; round < 300; ++round) {
        QByteArray flipped = good;
        const auto at = random.bounded(static_cast<int>(flipped.size()));
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << random.bounded(8)));
        tryRestore(flipped);
    }

    // A network document cut anywhere is refused, from a stream or as a text.
    const QString document = streamDocument(*network);
    for (int round = 0; round < 60; ++round) {
        const QString cut = document.left(random.bounded(static_cast<int>(document.size()) - 1));
        putStreams({{QStringLiteral("Networks"), "1"},
                    {QStringLiteral("GUID1"), network->GUID().toLatin1()},
                    {QStringLiteral("1"), cut.toUtf8()}});
        ui->messageBoxes.clear();
        EXPECT_FALSE(restore(network->GUID()));
        EXPECT_FALSE(ui->messageBoxes.empty());

        QString text = cut;
        ui->messageBoxes.clear();
        EXPECT_FALSE(clsNetwork::create()->FileOpen(text, true));
        EXPECT_TRUE(reportedBy("FileOpen"));
    }

    // Random bytes in the network stream, or handed to the XML reader.
    for (int round = 0; round < 100; ++round) {
        QByteArray bytes(random.bounded(1, 400), '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        putStreams({{QStringLiteral("Networks"), "1"}, {QStringLiteral("GUID1"), "0142"}, {QStringLiteral("1"), bytes}});
        ui->messageBoxes.clear();
        if (!restore(QStringLiteral("0142"))) { // text of the older form's shape may read
            EXPECT_FALSE(ui->messageBoxes.empty());
        }

        QString text = platform::encoding::decodeStored(bytes);
        ui->messageBoxes.clear();
        EXPECT_FALSE(clsNetwork::create()->FileOpen(text, true));
        EXPECT_FALSE(ui->messageBoxes.empty());
    }
}
