// The File commands through the real window with a scripted file dialog: New, Open and the
// recently-used entries replace the document; Save and Save As write it through a temporary
// copy; refusals and failures leave the open document and the files as they were.

#include "tests/shell/ShellTestSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/AbstractKnowledgeBase.h"
#include "shell/DocumentFiles.h"
#include "shell/ToolBands.h"
#include "tests/network/NetworkBuilder.h"
#include "tests/support/FileSizeLimit.h"

#include <QAction>
#include <unistd.h>

using namespace kelvane;
using platform::msgbox::Exclamation;
using Kind = platform::doubles::ScriptedFileDialogs::Kind;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The networks a control holds after opening `path`, or -1 when it could not open it.
int networksIn(const QString& path)
{
    ctlPelnet reader;
    reader.Network()->setFileName(path);
    return reader.FileOpen() ? int(reader.Networks.Count()) : -1;
}

class FileCommands : public test::ShellTest {
protected:
    FileCommands()
    {
        basLibrary::TemplatesDirectory();
        QDir().mkpath(basLibrary::TempFolder);
        QDir().mkpath(basLibrary::DocumentsFolder);
        settingvalues::setIntroductionSuppressed(QStringLiteral("Engine"), true);
    }

    // A document of two levels: "Engine", whose node Ignition opens "Spark" at its node Plug.
    // A compound document may name the lower level's own file.
    static void writeDocument(const QString& path, qint16 type = 1, const QString& lowerFile = {})
    {
        test::NetworkBuilder engine({"Ignition Fuel", "Starts"}), spark({"Plug"});
        engine.links("Starts>Ignition Starts>Fuel");
        engine.network->Name()->setText(QStringLiteral("Engine"));
        spark.network->Name()->setText(QStringLiteral("Spark"));
        const auto ignition = engine["Ignition"];
        ignition->setExternal(true);
        ignition->LowerLevelNetwork = spark.network;
        ignition->ExternalNetworkGUID = spark.network->GUID();
        ignition->setExternalGUID(spark["Plug"]->GUID);
        ignition->ExternalFile = lowerFile;

        ctlPelnet writer;
        writer.setNetwork(engine.network);
        writer.Networks.Clear();
        writer.Networks.Add(engine.network);
        spark.network->ParentDisplay = engine.network->ParentDisplay;
        spark.network->Index = 2;
        writer.Networks.Add(spark.network);
        engine.network->setFileName(path);
        engine.network->NetworkType = type;
        ASSERT_TRUE(writer.FileSave());
    }

    static QString file(const QString& name) { return QDir(basLibrary::DocumentsFolder).filePath(name); }

    ctlPelnet& diagram() const { return window->ctlPelnet1(); }
    std::shared_ptr<clsNetwork> network() const { return diagram().Network(); }
    QAction* tool(const QString& id) const { return window->SSActiveToolBars1().Tool(id); }
    void click(const QString& id) const { tool(id)->trigger(); }
    QString lastMessage() const { return ui->messageBoxes.empty() ? QString() : ui->messageBoxes.back().text; }

    // The open document is the one `load` opened, unchanged.
    void expectSampleStillOpen(const char* why) const
    {
        EXPECT_EQ(window->Caption(), kSampleName) << why;
        EXPECT_EQ(network()->FileName(), sample()) << why;
        EXPECT_EQ(diagram().Networks.Count(), 1) << why;
        EXPECT_TRUE(diagram().Loaded) << why;
        EXPECT_FALSE(window->Unloaded()) << why;
    }
};

TEST_F(FileCommands, NewOpensAKnowledgeBaseWhoseFirstSaveAsksForAScenarioName)
{
    const QString kb = file(QStringLiteral("engine.qkb"));
    writeDocument(kb);
    load(sample());
    network()->setDirty(true);
    ui->queueMessageBoxResult(platform::msgbox::Cancel);
    click(QStringLiteral("&New"));
    EXPECT_TRUE(dialogs->calls.empty()); // cancelled at the question

    ui->queueMessageBoxResult(platform::msgbox::No);
    dialogs->queueAnswer(kb);
    click(QStringLiteral("&New"));
    ASSERT_EQ(dialogs->calls.size(), 1u);
    const auto& request = dialogs->calls[0].request;
    EXPECT_EQ(request.title, QStringLiteral("Select Knowledge Base"));
    EXPECT_EQ(request.filter, QStringLiteral("Knowledge Base (*.qkb)|*.qkb|All files (*.*)|*.*"));
    EXPECT_EQ(request.flags, 4100);
    EXPECT_EQ(window->Caption(), QStringLiteral("Engine"));
    EXPECT_EQ(tool(QStringLiteral("&About"))->text(), QStringLiteral("&About Engine..."));
    ASSERT_EQ(diagram().Networks.Count(), 2);
    EXPECT_EQ(diagram().Networks.Item(1)->Layers().Item(1)->Nodes().Item(1)->LowerLevelNetwork, diagram().Networks.Item(2));
    EXPECT_TRUE(diagram().KnowledgeBaseMode);
    EXPECT_FALSE(diagram().Dirty());
    EXPECT_EQ(basGlobal::DocumentPath, kb);
    EXPECT_TRUE(network()->FileName().isEmpty());
    EXPECT_TRUE(host->calls.contains(QStringLiteral("ReleaseKnowledgeBase")));
    EXPECT_EQ(host->calls.mid(host->calls.indexOf(QStringLiteral("ReleaseKnowledgeBase"))),
              (QStringList {QStringLiteral("ReleaseKnowledgeBase"), QStringLiteral("CreateKnowledgeBase ") + kb,
                            QStringLiteral("FireLoad")}));
    EXPECT_EQ(basGlobal::CurrentKnowledgeBase->Network(), network());
    EXPECT_TRUE(basGlobal::RecentFiles[0].isEmpty()); // New leaves the list alone

    // Save asks for a name; one without an extension becomes a compound scenario.
    dialogs->queueAnswer(file(QStringLiteral("Monday")));
    click(QStringLiteral("&Save"));
    ASSERT_EQ(dialogs->calls.size(), 2u);
    EXPECT_EQ(dialogs->calls[1].kind, Kind::Save);
    EXPECT_EQ(dialogs->calls[1].request.title, QStringLiteral("Save Scenario As"));
    EXPECT_EQ(dialogs->calls[1].request.filterIndex, 1);
    const QString scenario = file(QStringLiteral("Monday.qks"));
    EXPECT_EQ(network()->FileName(), scenario);
    EXPECT_EQ(basGlobal::RecentFiles[0], scenario);
    EXPECT_EQ(networksIn(scenario), 2);
    EXPECT_FALSE(QFile::exists(documentfiles::TemporaryCopy(scenario)));
}

TEST_F(FileCommands, OpenAndTheRecentlyUsedEntriesReplaceTheDocumentAndKeepTheListAcrossARestart)
{
    const QString scenario = file(QStringLiteral("monday.qks"));
    const QString xml = file(QStringLiteral("tuesday.xml"));
    writeDocument(scenario, 2);
    writeDocument(xml, 2);
    load(sample());
    dialogs->queueAnswer(scenario);
    dialogs->queueAnswer(xml);
    click(QStringLiteral("&Open..."));
    click(QStringLiteral("&Open..."));
    ASSERT_EQ(dialogs->calls.size(), 2u);
    EXPECT_EQ(dialogs->calls[0].request.title, QStringLiteral("Open Scenario"));
    EXPECT_EQ(dialogs->calls[0].request.filter, QStringLiteral("Kelvane Scenario (*.qks)|*.qks|All files (*.*)|*.*"));
    EXPECT_EQ(dialogs->calls[1].request.fileName, scenario); // the dialog proposes the last file
    EXPECT_EQ(network()->FileName(), xml);
    EXPECT_EQ(diagram().Networks.Count(), 2);
    EXPECT_EQ(basGlobal::RecentFiles[0], xml);
    EXPECT_EQ(basGlobal::RecentFiles[1], scenario);

    // An entry of the list reopens its file and moves it to the top.
    click(QStringLiteral("MRU2"));
    EXPECT_EQ(network()->FileName(), scenario);
    EXPECT_TRUE(network()->Structured);
    EXPECT_EQ(basGlobal::RecentFiles[0], scenario);
    EXPECT_TRUE(tool(QStringLiteral("MRU1"))->text().startsWith(QStringLiteral("&1 ")));
    EXPECT_TRUE(tool(QStringLiteral("MRU1"))->text().endsWith(QStringLiteral("monday.qks")));

    // An entry whose file went says so and changes nothing.
    QFile::remove(xml);
    click(QStringLiteral("MRU2"));
    EXPECT_EQ(lastMessage(), xml + QStringLiteral(" does not exist"));
    EXPECT_EQ(network()->FileName(), scenario);
    EXPECT_EQ(basGlobal::RecentFiles[1], xml);

    window->close();
    test::resetProgramGlobals();
    load(sample());
    EXPECT_EQ(basGlobal::RecentFiles[0], scenario);
    EXPECT_TRUE(tool(QStringLiteral("MRU2"))->isVisible());
    EXPECT_TRUE(tool(QStringLiteral("MRU2"))->text().endsWith(QStringLiteral("tuesday.xml")));
}

TEST_F(FileCommands, SaveAndSaveAsWriteThroughATemporaryCopyWithTheMacroFileBesideXML)
{
    const QString xml = file(QStringLiteral("tuesday.xml"));
    writeDocument(xml, 2);
    load(sample());
    dialogs->queueAnswer(xml);
    click(QStringLiteral("&Open..."));
    host->project = "macros";
    network()->setDirty(true);
    click(QStringLiteral("&Save"));
    const QString temporary = documentfiles::TemporaryCopy(xml);
    EXPECT_TRUE(host->calls.contains(QStringLiteral("SaveProject ") + temporary));
    EXPECT_EQ(host->calls.last(), QStringLiteral("OpenProject ") + xml);
    EXPECT_EQ(bytesOf(file(QStringLiteral("tuesday.vba"))), QByteArray("macros"));
    EXPECT_FALSE(QFile::exists(temporary));
    EXPECT_FALSE(QFile::exists(documentfiles::MacroSideFile(temporary)));
    EXPECT_FALSE(diagram().Dirty());
    EXPECT_EQ(networksIn(xml), 2);

    // Save As over an existing file asks first; No writes nothing.
    const QString other = file(QStringLiteral("wednesday.qks"));
    ASSERT_TRUE(writeBytes(other, "keep"));
    dialogs->queueAnswer(other);
    ui->queueMessageBoxResult(platform::msgbox::No);
    click(QStringLiteral("Save &As..."));
    EXPECT_EQ(dialogs->calls.back().request.fileName, file(QStringLiteral("tuesday")));
    EXPECT_EQ(dialogs->calls.back().request.filterIndex, 2);
    EXPECT_EQ(lastMessage(), other + QStringLiteral(" already exists.\rDo you want to replace it?"));
    EXPECT_EQ(ui->messageBoxes.back().style, 308);
    EXPECT_EQ(bytesOf(other), QByteArray("keep"));
    EXPECT_EQ(network()->FileName(), xml);

    // Yes: the document becomes that compound scenario, and no macro file is made beside it.
    dialogs->queueAnswer(other);
    ui->queueMessageBoxResult(platform::msgbox::Yes);
    click(QStringLiteral("Save &As..."));
    EXPECT_EQ(network()->FileName(), other);
    EXPECT_TRUE(network()->Structured);
    EXPECT_EQ(networksIn(other), 2);
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("wednesday.vba"))));
    EXPECT_EQ(basGlobal::RecentFiles[0], other);

    // A dot in a folder's name is no extension: the scenario's default one is added.
    const QString folder = file(QStringLiteral("week.2"));
    QDir().mkpath(folder);
    dialogs->queueAnswer(folder + QStringLiteral("/thursday"));
    click(QStringLiteral("Save &As..."));
    EXPECT_EQ(dialogs->calls.back().request.filterIndex, 1);
    EXPECT_EQ(network()->FileName(), folder + QStringLiteral("/thursday.qks"));
    EXPECT_EQ(networksIn(network()->FileName()), 2);

    // A read-only file is refused before anything is written.
    QFile::setPermissions(other, QFile::ReadOwner);
    const QByteArray locked = bytesOf(other);
    dialogs->queueAnswer(other);
    click(QStringLiteral("Save &As..."));
    EXPECT_EQ(lastMessage(), other + QStringLiteral(" is read only, unable to save file"));
    EXPECT_EQ(bytesOf(other), locked);
    EXPECT_EQ(network()->FileName(), folder + QStringLiteral("/thursday.qks"));
}

} // namespace
