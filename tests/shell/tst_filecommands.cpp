// The File commands through the real window with a scripted file dialog: New, Open and the
// recently-used entries replace the document; Save and Save As write it through a temporary
// copy; refusals and failures leave the open document and the files as they were.

#include "tests/shell/ShellTestSupport.h"

#include "diagram/ctlPelnet.h"
#include "shell/DocumentFiles.h"
#include "shell/ToolBands.h"
#include "shell/basMain.h"
#include "tests/network/NetworkBuilder.h"
#include "tests/support/FileSizeLimit.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

using namespace kelvane;

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

    // A document of two levels, "Engine" and "Spark"; a compound one may name the lower
    // level's own file.
    static void writeDocument(const QString& path, qint16 type, const QString& lowerFile = {}, const QString& password = {})
    {
        test::NetworkBuilder engine({"Ignition", "Starts"}), spark({"Plug"});
        engine.links("Starts>Ignition");
        engine.network->Name()->setText(QStringLiteral("Engine"));
        engine.network->Password = password;
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
};

TEST_F(FileCommands, NewOpensAKnowledgeBaseWhoseFirstSaveAsksForAScenarioName)
{
    const QString kb = file(QStringLiteral("engine.qkb"));
    writeDocument(kb, 1);
    load(sample());
    network()->setDirty(true);
    ui->queueMessageBoxResult(platform::msgbox::Cancel);
    click(QStringLiteral("&New"));
    EXPECT_TRUE(dialogs->calls.empty()); // cancelled at the question

    ui->queueMessageBoxResult(platform::msgbox::No);
    dialogs->queueAnswer(kb);
    click(QStringLiteral("&New"));
    EXPECT_EQ(dialogs->calls.at(0).request.title, QStringLiteral("Select Knowledge Base"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Engine"));
    EXPECT_EQ(tool(QStringLiteral("&About"))->text(), QStringLiteral("&About Engine..."));
    ASSERT_EQ(diagram().Networks.Count(), 2);
    EXPECT_EQ(diagram().Networks.Item(1)->Layers().Item(1)->Nodes().Item(1)->LowerLevelNetwork, diagram().Networks.Item(2));
    EXPECT_FALSE(diagram().Dirty());
    EXPECT_EQ(host->calls.mid(host->calls.size() - 3),
              (QStringList {QStringLiteral("ReleaseKnowledgeBase"), QStringLiteral("CreateKnowledgeBase ") + kb,
                            QStringLiteral("FireLoad")}));
    EXPECT_TRUE(basGlobal::RecentFiles[0].isEmpty()); // New leaves the list alone

    // Save asks for a name; one without an extension becomes a compound scenario.
    dialogs->queueAnswer(file(QStringLiteral("Monday")));
    click(QStringLiteral("&Save"));
    EXPECT_EQ(dialogs->calls.at(1).request.title, QStringLiteral("Save Scenario As"));
    const QString scenario = file(QStringLiteral("Monday.qks"));
    EXPECT_EQ(network()->FileName(), scenario);
    EXPECT_EQ(basGlobal::RecentFiles[0], scenario);
    EXPECT_EQ(networksIn(scenario), 2);
}

TEST_F(FileCommands, OpenAndTheRecentlyUsedEntriesReplaceTheDocumentAndKeepTheListAcrossARestart)
{
    const QString scenario = file(QStringLiteral("monday.qks"));
    const QString xml = file(QStringLiteral("tuesday.xml"));
    writeDocument(scenario, 2);
    writeDocument(xml, 2);
    load(sample());
    for (const QString& path : {scenario, xml}) {
        dialogs->queueAnswer(path);
        click(QStringLiteral("&Open..."));
    }
    EXPECT_EQ(dialogs->calls.at(0).request.title, QStringLiteral("Open Scenario"));
    EXPECT_EQ(dialogs->calls.at(1).request.fileName, scenario); // the dialog proposes the last file
    EXPECT_EQ(network()->FileName(), xml);
    EXPECT_EQ(diagram().Networks.Count(), 2);
    EXPECT_EQ(basGlobal::RecentFiles[1], scenario);

    click(QStringLiteral("MRU2"));
    EXPECT_EQ(network()->FileName(), scenario);
    EXPECT_EQ(basGlobal::RecentFiles[0], scenario);
    EXPECT_TRUE(tool(QStringLiteral("MRU1"))->text().startsWith(QStringLiteral("&1 ")));

    // An entry whose file went says so, and stays.
    QFile::remove(xml);
    click(QStringLiteral("MRU2"));
    EXPECT_EQ(lastMessage(), xml + QStringLiteral(" does not exist"));
    EXPECT_EQ(network()->FileName(), scenario);

    window->close();
    test::resetProgramGlobals();
    load(sample());
    EXPECT_TRUE(tool(QStringLiteral("MRU1"))->text().endsWith(QStringLiteral("monday.qks")));
    EXPECT_TRUE(tool(QStringLiteral("MRU2"))->text().endsWith(QStringLiteral("tuesday.xml")));
}

TEST_F(FileCommands, TheCaptionAndTheAboutEntryFollowTheOpenDocumentWhicheverCommandOpenedIt)
{
    const QString scenario = file(QStringLiteral("monday.qks"));
    writeDocument(scenario, 2);
    ctlPelnet named;
    named.Network()->setFileName(scenario);
    ASSERT_TRUE(named.FileOpen());
    named.Network()->setScenarioName(QStringLiteral("Monday"));
    ASSERT_TRUE(named.FileSave());
    load(sample());
    const auto aboutEntry = [&] { return window->SSActiveToolBars1().Menu(ToolBands::Help)->actions().last()->text(); };
    ASSERT_EQ(aboutEntry(), QStringLiteral("&About Car will not start..."));

    dialogs->queueAnswer(scenario);
    click(QStringLiteral("&Open..."));
    EXPECT_EQ(window->Caption(), QStringLiteral("Engine - Monday"));
    EXPECT_EQ(aboutEntry(), QStringLiteral("&About Engine..."));

    load(sample());
    click(QStringLiteral("&Tree"));
    basGlobal::RecentFiles[0] = scenario;
    window->mnuFileMRU_Click(0);
    EXPECT_EQ(window->Caption(), QStringLiteral("Engine - Monday - Tree View"));
    EXPECT_EQ(aboutEntry(), QStringLiteral("&About Engine..."));
    click(QStringLiteral("&Structure"));
    EXPECT_EQ(window->Caption(), QStringLiteral("Engine - Monday"));
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

    // Replacing a file is asked first: No writes nothing, Yes makes it the compound scenario,
    // with no macro file beside it.
    const QString other = file(QStringLiteral("wednesday.qks"));
    ASSERT_TRUE(writeBytes(other, "keep"));
    for (const int answer : {platform::msgbox::No, platform::msgbox::Yes}) {
        dialogs->queueAnswer(other);
        ui->queueMessageBoxResult(answer);
        click(QStringLiteral("Save &As..."));
    }
    EXPECT_EQ(dialogs->calls.back().request.fileName, file(QStringLiteral("tuesday")));
    EXPECT_EQ(lastMessage(), other + QStringLiteral(" already exists.\rDo you want to replace it?"));
    EXPECT_EQ(ui->messageBoxes.back().style, 308);
    EXPECT_EQ(network()->FileName(), other);
    EXPECT_TRUE(network()->Structured);
    EXPECT_EQ(networksIn(other), 2);
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("wednesday.vba"))));

    // A dot in a folder's name is no extension: the scenario's own is added.
    const QString folder = file(QStringLiteral("week.2"));
    QDir().mkpath(folder);
    dialogs->queueAnswer(folder + QStringLiteral("/thursday"));
    click(QStringLiteral("Save &As..."));
    EXPECT_EQ(network()->FileName(), folder + QStringLiteral("/thursday.qks"));
    EXPECT_EQ(basGlobal::RecentFiles[0], network()->FileName());

    QFile::setPermissions(other, QFile::ReadOwner);
    dialogs->queueAnswer(other);
    click(QStringLiteral("Save &As..."));
    EXPECT_EQ(lastMessage(), other + QStringLiteral(" is read only, unable to save file"));
    EXPECT_EQ(network()->FileName(), folder + QStringLiteral("/thursday.qks"));
}

TEST_F(FileCommands, AFailedOpenKeepsTheOpenDocumentAndTellsTheUser)
{
    const QString locked = file(QStringLiteral("locked.xml"));
    const QString cut = file(QStringLiteral("cut.xml"));
    const QString damaged = file(QStringLiteral("damaged.qks"));
    const QString readOnly = file(QStringLiteral("readonly.qks"));
    writeDocument(locked, 2, {}, QStringLiteral("secret"));
    for (const QString& path : {cut, damaged, readOnly})
        writeDocument(path, 2);
    ASSERT_TRUE(writeBytes(cut, bytesOf(cut).left(bytesOf(cut).size() / 2)));
    ASSERT_TRUE(writeBytes(damaged, bytesOf(damaged).replace(512, 512, QByteArray(512, '\xff'))));
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    load(sample());
    const auto knowledgeBase = basGlobal::CurrentKnowledgeBase;

    ui->queuePromptAnswer(QStringLiteral("guess"));
    for (const QString& path : {locked, cut, damaged, readOnly, file(QStringLiteral("gone.qks"))}) {
        const QByteArray before = bytesOf(path);
        dialogs->queueAnswer(path);
        const std::size_t shownBefore = ui->messageBoxes.size();
        click(QStringLiteral("&Open..."));
        const std::string why = path.toStdString();
        if (path == readOnly || path == locked) {
            // One message says why, not a second one that it could not be opened.
            ASSERT_EQ(ui->messageBoxes.size(), shownBefore + 1) << why;
            EXPECT_EQ(lastMessage(), path == locked ? QStringLiteral("Access denied") : path + QStringLiteral(" is read only")) << why;
        } else {
            EXPECT_EQ(lastMessage(), path + QStringLiteral(" could not be opened.")) << why;
        }
        EXPECT_EQ(window->Caption(), kSampleName) << why;
        EXPECT_EQ(network()->FileName(), sample()) << why;
        EXPECT_EQ(diagram().Networks.Count(), 1) << why;
        EXPECT_EQ(basGlobal::CurrentKnowledgeBase, knowledgeBase) << why;
        EXPECT_EQ(bytesOf(path), before) << why;
    }
    EXPECT_FALSE(window->Unloaded());
    EXPECT_TRUE(basGlobal::RecentFiles[0].isEmpty());
    EXPECT_EQ(ui->prompts.size(), 1u);

    // The document left open is still saved as it was.
    network()->setDirty(true);
    click(QStringLiteral("&Save"));
    EXPECT_FALSE(diagram().Dirty());
}

TEST_F(FileCommands, AFailedSaveKeepsTheFileTheChangesAndTheNameAndTellsTheUser)
{
    const QString kb = file(QStringLiteral("engine.qks"));
    const QString lowerFile = file(QStringLiteral("spark.qkb"));
    writeDocument(kb, 2, QStringLiteral("spark.qkb"));
    load(sample());
    dialogs->queueAnswer(kb);
    click(QStringLiteral("&Open..."));
    const QByteArray before = bytesOf(kb);
    const auto expectNothingSaved = [&](const char* why) {
        // The reason, when there is one, follows on the next line.
        EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("An error occurred saving ") + kb + u'\r')) << why;
        EXPECT_EQ(bytesOf(kb), before) << why;
        EXPECT_TRUE(diagram().Dirty()) << why;
        EXPECT_EQ(network()->FileName(), kb) << why;
        EXPECT_FALSE(QFile::exists(documentfiles::TemporaryCopy(kb))) << why;
    };

    // The lower level names a file of its own that may not be written.
    ASSERT_TRUE(writeBytes(lowerFile, "spark"));
    QFile::setPermissions(lowerFile, QFile::ReadOwner);
    network()->setDirty(true);
    click(QStringLiteral("&Save"));
    EXPECT_EQ(ui->messageBoxes.rbegin()[1].text, lowerFile + QStringLiteral(" is read only"));
    expectNothingSaved("read-only lower level");
    QFile::remove(lowerFile);

    host->failProjectSave = true;
    click(QStringLiteral("&Save"));
    expectNothingSaved("macro project not written");
    host->failProjectSave = false;

    for (const rlim_t room : {rlim_t(0), rlim_t(before.size() / 2)}) {
        const test::FileSizeLimit limit(room);
        click(QStringLiteral("&Save"));
        expectNothingSaved("file size limit");
    }

    // A folder that refuses writes; one that is a plain file refuses the superuser too.
    if (geteuid() != 0) {
        const QString folder = QFileInfo(kb).absolutePath();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        click(QStringLiteral("&Save"));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        expectNothingSaved("read-only folder");
    }
    const QString inPlainFile = file(QStringLiteral("plain")) + QStringLiteral("/copy.qks");
    ASSERT_TRUE(writeBytes(file(QStringLiteral("plain")), "plain"));
    dialogs->queueAnswer(inPlainFile);
    click(QStringLiteral("Save &As..."));
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral("An error occurred saving ") + inPlainFile + u'\r' + inPlainFile
                                         + QStringLiteral(" was not saved: it cannot be created")));
    EXPECT_EQ(network()->FileName(), kb); // the name it had
    EXPECT_TRUE(diagram().Dirty());
    EXPECT_NE(basGlobal::RecentFiles[0], inPlainFile);

    QFile::setPermissions(kb, QFile::ReadOwner);
    click(QStringLiteral("&Save"));
    EXPECT_EQ(lastMessage(), kb + QStringLiteral(" is read only, unable to save file"));
    EXPECT_EQ(bytesOf(kb), before);
    QFile::setPermissions(kb, QFile::ReadOwner | QFile::WriteOwner);

    click(QStringLiteral("&Save"));
    EXPECT_FALSE(diagram().Dirty());
    EXPECT_EQ(networksIn(kb), 2);
}

// The temporary folder gone (removed while the program runs, or named by a TMP that was
// wrong): the save fails, and the message says why.
TEST_F(FileCommands, ASaveFailedForWantOfTheTemporaryFolderSaysWhy)
{
    load(sample());
    const QByteArray before = bytesOf(sample());
    const QString gone = test::scratchFolder() + QStringLiteral("/no-such-folder");
    basLibrary::TempFolder = gone;
    network()->setDirty(true);
    click(QStringLiteral("&Save"));
    const QString message = lastMessage();
    EXPECT_TRUE(message.startsWith(QStringLiteral("An error occurred saving ") + sample() + u'\r')) << message.toStdString();
    EXPECT_TRUE(message.contains(gone)) << message.toStdString();
    EXPECT_EQ(bytesOf(sample()), before);
    EXPECT_TRUE(diagram().Dirty());
}

// A user's file-size limit (a quota) met in the middle of a save, with the program started as
// it starts: the save fails like any short write, is reported, and the file and the edits stay.
// It runs in a child process of its own, since the limit and the signal belong to the process.
TEST_F(FileCommands, ASaveCutShortByTheFileSizeLimitIsReportedAndTheProgramGoesOn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto saveUnderLimit = [this] {
        basMain::Program program = basMain::Main(sample());
        ctlPelnet& diagram = program.mainWindow->ctlPelnet1();
        const QByteArray before = bytesOf(sample());
        diagram.Network()->setDirty(true);
        const rlimit limit {8 * 1024, 8 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        program.mainWindow->mnuFileSave_Click();
        const bool reported = lastMessage().startsWith(QStringLiteral("An error occurred saving ") + sample());
        const bool intact = bytesOf(sample()) == before;
        // Straight out: the child's window and folders are the parent's business.
        std::_Exit(reported && intact && diagram.Dirty() ? 0 : 1);
    };
    ASSERT_GT(QFileInfo(sample()).size(), 8 * 1024);
    EXPECT_EXIT(saveUnderLimit(), ::testing::ExitedWithCode(0), "");
}

} // namespace
