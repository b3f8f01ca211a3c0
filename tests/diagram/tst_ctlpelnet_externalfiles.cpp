// Documents that name files which are no knowledge bases at all: a device that never ends or a
// pipe nobody writes to, as a lower level's file, as the knowledge server's document names it,
// or as the document itself. The open neither waits nor runs out of memory: the file is
// refused with a message that names it.
#include "DiagramTestSupport.h"

#include "diagram/doubles/ScriptedServerSession.h"
#include "model/Node.h"
#include "model/basLibrary.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/PipeWithoutWriter.h"

#include <QElapsedTimer>

using namespace kelvane;
using namespace kelvane::test;

namespace {

const QString kDevice = QStringLiteral("/dev/zero");

// Error reports become message boxes, so the test sees what the open reported.
struct DebugModeOn {
    DebugModeOn() { basLibrary::DebugMode = true; }
    ~DebugModeOn() { basLibrary::DebugMode = false; }
};

class ExternalFiles : public DiagramTest {
protected:
    ExternalFiles()
    {
        gate("ToDevice", kDevice);
        gate("ToPipe", pipe.path());
        useNetworks({top.network});
    }

    // Makes the node an external node whose lower level lies in `file`.
    void gate(const char* name, const QString& file)
    {
        const auto node = top[name];
        node->setExternal(true);
        node->ExternalFile = file;
        node->ExternalNetworkGUID = QStringLiteral("{LOWER-%1}").arg(QString::fromLatin1(name));
        node->setExternalGUID(QStringLiteral("{ENTRY}"));
    }

    // A fresh control that opens `fileName`; the time it took is kept.
    std::unique_ptr<ctlPelnet> opened(const QString& fileName)
    {
        auto reader = std::make_unique<ctlPelnet>();
        reader->ParentForm = &form;
        reader->Network()->setFileName(fileName);
        QElapsedTimer timer;
        timer.start();
        lastOpenResult = reader->FileOpen(nullptr, true);
        lastOpenTime = timer.elapsed();
        return reader;
    }

    // The message boxes shown so far that name `file` as unreadable.
    int refusalsOf(const QString& file) const
    {
        int count = 0;
        for (const auto& box : ui->messageBoxes)
            count += box.text.contains(file + QStringLiteral(" cannot be read: it is not a regular file.")) ? 1 : 0;
        return count;
    }

    static std::shared_ptr<Node> nodeNamed(clsNetwork& network, const QString& name)
    {
        for (const auto& layer : network.Layers())
            for (const auto& node : layer->Nodes())
                if (node->Name()->Text() == name)
                    return node;
        return nullptr;
    }

    PipeWithoutWriter pipe {testFile(QStringLiteral("lower.qkb"))};
    NetworkBuilder top {{"ToDevice ToPipe Plain"}};
    bool lastOpenResult = false;
    qint64 lastOpenTime = 0;
};

} // namespace

TEST_F(ExternalFiles, LowerLevelsInDevicesOrPipesArePassedOverAndTheirNodesKept)
{
    ASSERT_TRUE(pipe.made());
    const QString file = testFile(QStringLiteral("top.xml"));
    top.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    ASSERT_TRUE(QString::fromUtf8(fileBytes(file)).contains(QStringLiteral("linkedkb='/dev/zero'")));

    const DebugModeOn debug;
    const auto reader = opened(file);
    EXPECT_TRUE(lastOpenResult);
    EXPECT_LT(lastOpenTime, 3000);
    EXPECT_FALSE(pipe.readerWasStuck());
    EXPECT_EQ(refusalsOf(kDevice), 1);
    EXPECT_EQ(refusalsOf(pipe.path()), 1);
    // As for a missing file: no level stands in, the nodes keep their references.
    EXPECT_EQ(reader->Networks.Count(), 1);
    const auto toDevice = nodeNamed(*reader->Network(), QStringLiteral("ToDevice"));
    ASSERT_TRUE(toDevice);
    EXPECT_TRUE(toDevice->External());
    EXPECT_EQ(toDevice->ExternalFile, kDevice);
    EXPECT_EQ(toDevice->LowerLevelNetwork, nullptr);
}

TEST_F(ExternalFiles, TheServersDocumentCannotMakeTheProgramReadADeviceOrAPipe)
{
    ASSERT_TRUE(pipe.made());
    const QString file = testFile(QStringLiteral("top.xml"));
    top.network->setFileName(file);
    ASSERT_TRUE(control->FileSave());
    const auto session = std::make_shared<doubles::ScriptedServerSession>();
    session->documents[QStringLiteral("KB")] = QString::fromUtf8(fileBytes(file));

    const DebugModeOn debug;
    ctlPelnet reader;
    reader.setServerSession(session);
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(reader.ServerConnect(QStringLiteral("KB"), nullptr, true));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_FALSE(pipe.readerWasStuck());
    EXPECT_EQ(refusalsOf(kDevice), 1);
    EXPECT_EQ(refusalsOf(pipe.path()), 1);
    EXPECT_EQ(reader.Networks.Count(), 1);
}

TEST_F(ExternalFiles, ADocumentThatIsADeviceOrAPipeDoesNotOpen)
{
    ASSERT_TRUE(pipe.made());
    const PipeWithoutWriter textPipe(testFile(QStringLiteral("document.xml")));
    ASSERT_TRUE(textPipe.made());
    const DebugModeOn debug;
    // The compound file's road, the text document's road, and a name of neither kind.
    for (const QString& name : {pipe.path(), textPipe.path(), kDevice}) {
        const auto reader = opened(name);
        EXPECT_FALSE(lastOpenResult) << name.toStdString();
        EXPECT_LT(lastOpenTime, 3000) << name.toStdString();
        EXPECT_EQ(refusalsOf(name), 1) << name.toStdString();
    }
    EXPECT_FALSE(pipe.readerWasStuck());
    EXPECT_FALSE(textPipe.readerWasStuck());
}
