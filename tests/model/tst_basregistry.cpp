#include "model/basLibrary.h"
#include "model/basRegistry.h"
#include "platform/doubles/MemoryRegistry.h"
#include "platform/doubles/RecordingProcessLauncher.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace basRegistry;
using namespace platform;
using platform::doubles::MemoryRegistry;
using platform::doubles::RecordingProcessLauncher;
using platform::doubles::ScriptedUiServices;

namespace {

class ShellOpen : public ::testing::Test {
protected:
    void registerType(const QString& extension, const QString& type, const QString& command)
    {
        registry->set(HKEY_CLASSES_ROOT, extension, {}, type);
        registry->set(HKEY_CLASSES_ROOT, type + QStringLiteral("\\shell\\open\\command"), {}, command);
    }

    // Opens the target; the program started, followed by its arguments.
    QStringList open(QString target)
    {
        launcher->launches.clear();
        if (!ShellFile(target))
            return {QStringLiteral("(not opened)")};
        if (launcher->launches.size() != 1)
            return {QStringLiteral("(%1 started)").arg(launcher->launches.size())};
        return QStringList {launcher->launches[0].program} + launcher->launches[0].arguments;
    }

    ScopedService<Registry, MemoryRegistry> registry;
    ScopedService<ProcessLauncher, RecordingProcessLauncher> launcher;
    ScopedService<UiServices, ScriptedUiServices> ui;
};

} // namespace

TEST_F(ShellOpen, WebLinksOpenWithTheBrowserAndBlanksBecomePercent20)
{
    registry->set(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command"), {},
                  QStringLiteral("\"/usr/bin/browser\" -nohome \"%1\""));
    QString link = QStringLiteral("http://example.org/a b.html");
    EXPECT_TRUE(ShellFile(link));
    EXPECT_EQ(link, QStringLiteral("http://example.org/a%20b.html")); // the caller's text changes
    EXPECT_EQ(open(QStringLiteral("HTTPS://example.org/x")), QStringList({"/usr/bin/browser", "HTTPS://example.org/x"}));
    EXPECT_EQ(open(QStringLiteral("file:///srv/a.html")), QStringList({"/usr/bin/browser", "file:///srv/a.html"}));
}

TEST_F(ShellOpen, TheTargetIsOneArgumentThatNoShellReads)
{
    registerType(QStringLiteral(".txt"), QStringLiteral("txtfile"), QStringLiteral("\"/usr/bin/editor\" \"%1\""));
    registerType(QStringLiteral(".qkb"), QStringLiteral("Kelvane.Document"), QStringLiteral("/opt/kelvane/kelvane"));
    const QString hostile = QStringLiteral("/docs/my notes; rm -rf $(HOME) \"x\".txt");
    EXPECT_EQ(open(hostile), QStringList({"/usr/bin/editor", hostile}));
    EXPECT_EQ(open(QStringLiteral("/kb/plain.qkb")), QStringList({"/opt/kelvane/kelvane", "/kb/plain.qkb"}));
    // Stored paths reach the program in the host's form.
    EXPECT_EQ(open(QStringLiteral("..\\docs\\a.txt")), QStringList({"/usr/bin/editor", "../docs/a.txt"}));
}

TEST_F(ShellOpen, RegisteredCommandsAreTrimmedAsTheyWereRegistered)
{
    registerType(QStringLiteral(".pdf"), QStringLiteral("pdffile"), QStringLiteral("\"/opt/viewer/view\" /p /x \"%1\""));
    registerType(QStringLiteral(".doc"), QStringLiteral("docfile"), QStringLiteral("writer --new %1 --later"));
    registerType(QStringLiteral(".ini"), QStringLiteral("inifile"), QStringLiteral("%SystemRoot%\\notepad.exe %1"));
    registry->set(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
                  QStringLiteral("SystemRoot"), QStringLiteral("C:\\WINNT"));
    // A quoted program loses the switches after it; an unquoted command keeps them.
    EXPECT_EQ(open(QStringLiteral("/a.pdf")), QStringList({"/opt/viewer/view", "/a.pdf"}));
    EXPECT_EQ(open(QStringLiteral("/b.doc")), QStringList({"writer", "--new", "--later", "/b.doc"}));
    EXPECT_EQ(open(QStringLiteral("c.ini")), QStringList({"C:\\WINNT\\notepad.exe", "c.ini"}));
}

TEST_F(ShellOpen, TheTypeComesFromTheFileNameThenFromTheSecondDot)
{
    registerType(QStringLiteral(".html"), QStringLiteral("htmlfile"), QStringLiteral("browser %1"));
    registerType(QStringLiteral(".z.w"), QStringLiteral("zwfile"), QStringLiteral("\"/bin/opener\" \"%1\" --flag %1"));
    EXPECT_EQ(open(QStringLiteral("/data/v1.2/report.final.html")), QStringList({"browser", "/data/v1.2/report.final.html"}));
    EXPECT_EQ(open(QStringLiteral("x.y.z.w")), QStringList({"/bin/opener", "--flag", "x.y.z.w"}));
    EXPECT_EQ(open(QStringLiteral("/docs/README")), QStringList({"(not opened)"}));
    EXPECT_EQ(open(QStringLiteral("/docs/a.unknown")), QStringList({"(not opened)"}));
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST_F(ShellOpen, AProgramThatCannotStartIsReportedAndGivesFalse)
{
    registerType(QStringLiteral(".txt"), QStringLiteral("txtfile"), QStringLiteral("/no/such/editor %1"));
    launcher->missingPrograms.insert(QStringLiteral("/no/such/editor"));
    EXPECT_EQ(open(QStringLiteral("a.txt")), QStringList({"(not opened)"}));
    EXPECT_TRUE(ui->messageBoxes.empty()); // silent without DebugMode

    basLibrary::DebugMode = true;
    EXPECT_EQ(open(QStringLiteral("a.txt")), QStringList({"(not opened)"}));
    basLibrary::DebugMode = false;
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Error in routine: ShellFile in module: basRegistry\r[53] File not found"));
    EXPECT_EQ(ui->messageBoxes[0].style, msgbox::Exclamation);
}

TEST_F(ShellOpen, ReadRegistryValueFitsA255ByteBufferAndTellsOfAnUnreadableRegistry)
{
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("k254"), {}, QString(254, u'v'));
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("k255"), {}, QString(255, u'v'));
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("Key"), QStringLiteral("Name"), QStringLiteral("caf\u00e9 \u4e2d"));
    const QString dflt = QStringLiteral("default");
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("k254"), {}, dflt), QString(254, u'v'));
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("k255"), {}, dflt), dflt);
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("missing"), {}, dflt), dflt);
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("KEY"), QStringLiteral("name"), dflt),
              QStringLiteral("caf\u00e9 \u4e2d"));
    const QString path = QString::fromUtf8("/home/Иван/bin/просмотр");
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("Viewer"), {}, path);
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("Viewer"), {}, dflt), path);
    EXPECT_TRUE(ui->messageBoxes.empty());

    registry->failure = kelvane::RuntimeError(kelvane::err::PathFileAccess, QStringLiteral("The registry is damaged"));
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("k254"), {}, dflt), QString());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("ERROR #75 : The registry is damaged\rPlease exit and try again."));
    EXPECT_EQ(ui->messageBoxes[0].style, msgbox::OKOnly);
}

TEST_F(ShellOpen, LocalServerPathGoesThroughTheClassId)
{
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("Writer.Application\\CLSID"), {}, QStringLiteral("{1234}"));
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1234}\\LocalServer32"), {}, QStringLiteral("/opt/writer -a"));
    EXPECT_EQ(GetLocalServerPath(QStringLiteral("Writer.Application")), QStringLiteral("/opt/writer -a"));
    EXPECT_EQ(GetLocalServerPath(QStringLiteral("Missing.Application")), QString());
    EXPECT_TRUE(ui->messageBoxes.empty());
}

// A desktop without registrations of its own opens everything with xdg-open.
TEST(ShellOpenOnTheDesktop, DocumentsAndLinksOpenWithTheDesktopOpener)
{
    ScopedService<Registry, FileRegistry> registry(kelvane::test::scratchFolder() + QStringLiteral("/none.json"));
    ScopedService<ProcessLauncher, RecordingProcessLauncher> launcher;
    QString link = QStringLiteral("https://example.org/a b");
    QString report = QStringLiteral("/tmp/report 1.html");
    EXPECT_TRUE(ShellFile(link));
    EXPECT_TRUE(ShellFile(report));
    ASSERT_EQ(launcher->launches.size(), 2u);
    EXPECT_EQ(launcher->launches[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher->launches[0].arguments, QStringList {QStringLiteral("https://example.org/a%20b")});
    EXPECT_EQ(launcher->launches[1].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher->launches[1].arguments, QStringList {report});
}
