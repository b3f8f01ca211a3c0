// Start-up: the command line, the program's folders, and the whole of Main.

#include "tests/shell/ShellTestSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/basLibrary.h"
#include "shell/ProgramFolder.h"
#include "shell/basMain.h"

#include <QFileInfo>
#include <QTemporaryDir>

using namespace kelvane;

TEST(CommandLine, OnlyExactlyREndsTheProgramAtOnce)
{
    EXPECT_TRUE(basMain::EndsAtOnce(QStringLiteral("r")));
    for (const char* other : {"R", " r", "r x", ""})
        EXPECT_FALSE(basMain::EndsAtOnce(QString::fromLatin1(other))) << other;
}

TEST(CommandLine, TheDocumentLosesItsQuotesPlaceholderAndEmbeddingSwitch)
{
    EXPECT_EQ(basMain::DocumentOfCommandLine(QStringLiteral("\"/kb/my car.qkb\" %1")), QStringLiteral("/kb/my car.qkb"));
    EXPECT_EQ(basMain::DocumentOfCommandLine(QStringLiteral("-EMBEDDING /kb/a.qkb")), QStringLiteral("/kb/a.qkb"));
    EXPECT_EQ(basMain::DocumentOfCommandLine(QStringLiteral(" -Embedding ")), QString());
    EXPECT_EQ(basMain::DocumentOfCommandLine(QStringLiteral("\"\"")), QString());
}

TEST(ProgramFolder, AChosenFolderThenTheBuildTreeThenTheInstalledDataFolder)
{
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    EXPECT_EQ(LocateProgramFolder({}, bin), root.filePath(QStringLiteral("share/kelvane")));
    QDir().mkpath(bin + QStringLiteral("/help"));
    EXPECT_EQ(LocateProgramFolder({}, bin), bin);
    EXPECT_EQ(LocateProgramFolder(root.path(), bin), root.path());

    QStringList arguments {QStringLiteral("--program-dir"), QStringLiteral("/data"), QStringLiteral("a.qkb")};
    EXPECT_EQ(TakeProgramFolderOption(arguments), QStringLiteral("/data"));
    EXPECT_EQ(arguments, QStringList {QStringLiteral("a.qkb")});
    arguments = {QStringLiteral("--program-dir=/other"), QStringLiteral("b.qkb")};
    EXPECT_EQ(TakeProgramFolderOption(arguments), QStringLiteral("/other"));
    EXPECT_EQ(arguments, QStringList {QStringLiteral("b.qkb")});
}

TEST(Folders, TheRunKeepsItsFilesInAPrivateFolderInsideTheTemporaryFolder)
{
    platform::ScopedService<platform::SystemInfo, platform::doubles::FixedSystemInfo> system;
    system->temp = test::scratchFolder();
    QString folder;
    {
        const auto runFolder = basMain::SetUpFolders();
        ASSERT_TRUE(runFolder);
        folder = basLibrary::TempFolder;
        EXPECT_EQ(QFileInfo(folder).absolutePath(), QFileInfo(test::scratchFolder()).absoluteFilePath());
        EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
        EXPECT_EQ(basLibrary::DocumentsFolder, system->documents);
    }
    EXPECT_FALSE(QFileInfo::exists(folder));
}

class Startup : public test::ShellTest {};

TEST_F(Startup, MainSetsTheConstantsLoadsTheSettingsAndShowsTheWindowWithItsDocument)
{
    basGlobal::DefaultFontName = QStringLiteral("Other");
    basGlobal::LayoutMode = 3;
    basGlobal::LinkMode = 1;
    settingvalues::writeText(QStringLiteral("LinkMode"), QStringLiteral("0"));

    basMain::Program program = basMain::Main(u'"' + sample() + QStringLiteral("\" %1"));
    ASSERT_TRUE(program.mainWindow);
    EXPECT_EQ(basGlobal::StorageFlags.Flag1 + basGlobal::StorageFlags.Flag8 + basGlobal::StorageFlags.Flag16, 25);
    EXPECT_EQ(basGlobal::StorageFlags.Flag4 + basGlobal::StorageFlags.Flag16, 20);
    EXPECT_EQ(basGlobal::DefaultFontName, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(basGlobal::LayoutMode, 0);
    EXPECT_EQ(basGlobal::LinkMode, 0);
    EXPECT_TRUE(program.mainWindow->isVisible());
    EXPECT_EQ(basGlobal::MainWindow, program.mainWindow.get());
    EXPECT_EQ(program.mainWindow->Caption(), kSampleName);
    EXPECT_EQ(basGlobal::DocumentPath, sample());
    EXPECT_TRUE(basLibrary::TempFolder.startsWith(program.runFolder->path()));
    program.mainWindow.reset();
    EXPECT_EQ(basGlobal::MainWindow, nullptr);
}
