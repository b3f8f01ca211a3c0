#include "model/basLibrary.h"
#include "model/basRegistry.h"
#include "platform/doubles/MemoryRegistry.h"
#include "platform/doubles/RecordingProcessLauncher.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace basRegistry;
using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_LOCAL_MACHINE;
using platform::ProcessLauncher;
using platform::Registry;
using platform::ScopedService;
using platform::UiServices;
using platform::doubles::MemoryRegistry;
using platform::doubles::RecordingProcessLauncher;
using platform::doubles::ScriptedUiServices;

namespace {

const QString kHttpCommand = QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command");

class ShellOpen : public ::testing::Test {
protected:
    void registerType(const QString& extension, const QString& type, const QString& command)
    {
        registry->set(HKEY_CLASSES_ROOT, extension, {}, type);
        registry->set(HKEY_CLASSES_ROOT, type + QStringLiteral("\\shell\\open\\command"), {}, command);
    }

    // The one program started, as program followed by its arguments.
    QStringList launched() const
    {
        if (launcher->launches.size() != 1)
            return {QStringLiteral("%1 launches").arg(launcher->launches.size())};
        return QStringList {launcher->launches[0].program} + launcher->launches[0].arguments;
    }

    ScopedService<Registry, MemoryRegistry> registry;
    ScopedService<ProcessLauncher, RecordingProcessLauncher> launcher;
    ScopedService<UiServices, ScriptedUiServices> ui;
};

} // namespace

TEST_F(ShellOpen, WebLinksOpenWithTheBrowserAndBlanksBecomePercent20)
{
    registry->set(HKEY_LOCAL_MACHINE, kHttpCommand, {}, QStringLiteral("\"/usr/bin/browser\" -nohome \"%1\""));
    QString link = QStringLiteral("http://example.org/a b.html");
    EXPECT_TRUE(ShellFile(link));
    EXPECT_EQ(link, QStringLiteral("http://example.org/a%20b.html"));
    EXPECT_EQ(launched(), (QStringList {QStringLiteral("/usr/bin/browser"), link}));

    for (const char* other : {"HTTPS://example.org/x", "file:///srv/a.html"}) {
        launcher->launches.clear();
        QString target = QString::fromLatin1(other);
        EXPECT_TRUE(ShellFile(target)) << other;
        EXPECT_EQ(launched(), (QStringList {QStringLiteral("/usr/bin/browser"), target})) << other;
    }
}

TEST_F(ShellOpen, TheTargetIsOneArgumentThatNoShellReads)
{
    registerType(QStringLiteral(".txt"), QStringLiteral("txtfile"), QStringLiteral("\"/usr/bin/editor\" \"%1\""));
    QString target = QStringLiteral("/docs/my notes; rm -rf $(HOME) \"x\".txt");
    EXPECT_TRUE(ShellFile(target));
    EXPECT_EQ(launched(), (QStringList {QStringLiteral("/usr/bin/editor"), target}));

    launcher->launches.clear();
    registerType(QStringLiteral(".qkb"), QStringLiteral("Kelvane.Document"), QStringLiteral("/opt/kelvane/kelvane"));
    QString document = QStringLiteral("/kb/plain.qkb");
    EXPECT_TRUE(ShellFile(document));
    EXPECT_EQ(launched(), (QStringList {QStringLiteral("/opt/kelvane/kelvane"), QStringLiteral("/kb/plain.qkb")}));
    EXPECT_EQ(document, QStringLiteral("/kb/plain.qkb")); // only web links change
}

TEST_F(ShellOpen, AQuotedProgramLosesTheSwitchesAfterIt)
{
    registerType(QStringLiteral(".pdf"), QStringLiteral("pdffile"), QStringLiteral("\"/opt/viewer/view\" /p /x \"%1\""));
    registerType(QStringLiteral(".doc"), QStringLiteral("docfile"), QStringLiteral("writer --new %1 --later"));
    QString pdf = QStringLiteral("/a.pdf");
    QString doc = QStringLiteral("/b.doc");
    EXPECT_TRUE(ShellFile(pdf));
    EXPECT_TRUE(ShellFile(doc));
    ASSERT_EQ(launcher->launches.size(), 2u);
    EXPECT_EQ(launcher->launches[0].arguments, QStringList {QStringLiteral("/a.pdf")});
    EXPECT_EQ(launcher->launches[1].program, QStringLiteral("writer"));
    EXPECT_EQ(launcher->launches[1].arguments,
              (QStringList {QStringLiteral("--new"), QStringLiteral("--later"), QStringLiteral("/b.doc")}));
}

TEST_F(ShellOpen, TheExtensionComesFromTheFileNamesLastDot)
{
    registerType(QStringLiteral(".html"), QStringLiteral("htmlfile"), QStringLiteral("browser %1"));
    QString target = QStringLiteral("/data/v1.2/report.final.html");
    EXPECT_TRUE(ShellFile(target));
    EXPECT_EQ(launched(), (QStringList {QStringLiteral("browser"), target}));
}

TEST_F(ShellOpen, SystemRootIsFilledIn)
{
    registerType(QStringLiteral(".txt"), QStringLiteral("txtfile"), QStringLiteral("%SystemRoot%\\notepad.exe %1"));
    registry->set(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
                  QStringLiteral("SystemRoot"), QStringLiteral("C:\\WINNT"));
    QString target = QStringLiteral("a.txt");
    EXPECT_TRUE(ShellFile(target));
    EXPECT_EQ(launched(), (QStringList {QStringLiteral("C:\\WINNT\\notepad.exe"), QStringLiteral("a.txt")}));

    registry->set(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
                  QStringLiteral("SystemRoot"), QStringLiteral("C:\\WINDOWS"));
    launcher->launches.clear();
    EXPECT_TRUE(ShellFile(target));
    EXPECT_EQ(launched().value(0), QStringLiteral("C:\\WINDOWS\\notepad.exe"));
}

TEST_F(ShellOpen, TheSecondAttemptUsesTheTextFromTheSecondDot)
{
    registerType(QStringLiteral(".z.w"), QStringLiteral("zwfile"), QStringLiteral("\"/bin/opener\" \"%1\" --flag %1"));
    QString target = QStringLiteral("x.y.z.w");
    EXPECT_TRUE(ShellFile(target));
    EXPECT_EQ(launched(), (QStringList {QStringLiteral("/bin/opener"), QStringLiteral("--flag"), target}));
}

TEST_F(ShellOpen, AnUnregisteredTargetStartsNothing)
{
    QString target = QStringLiteral("/docs/README");
    EXPECT_FALSE(ShellFile(target));
    QString unknown = QStringLiteral("/docs/a.unknown");
    EXPECT_FALSE(ShellFile(unknown));
    EXPECT_TRUE(launcher->launches.empty());
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST_F(ShellOpen, StoredBackslashPathsReachTheProgramInHostForm)
{
    registerType(QStringLiteral(".txt"), QStringLiteral("txtfile"), QStringLiteral("editor"));
    QString target = QStringLiteral("..\\docs\\a.txt");
    EXPECT_TRUE(ShellFile(target));
    EXPECT_EQ(launched(), (QStringList {QStringLiteral("editor"), QStringLiteral("../docs/a.txt")}));
}

TEST_F(ShellOpen, AProgramThatCannotStartIsReportedAndGivesFalse)
{
    registerType(QStringLiteral(".txt"), QStringLiteral("txtfile"), QStringLiteral("/no/such/editor %1"));
    launcher->missingPrograms.insert(QStringLiteral("/no/such/editor"));
    QString target = QStringLiteral("a.txt");
    EXPECT_FALSE(ShellFile(target));
    EXPECT_TRUE(ui->messageBoxes.empty()); // silent without DebugMode

    basLibrary::DebugMode = true;
    EXPECT_FALSE(ShellFile(target));
    basLibrary::DebugMode = false;
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text,
              QStringLiteral("Error in routine: ShellFile in module: basRegistry\r[53] File not found"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
}

TEST_F(ShellOpen, ReadRegistryValueFitsA255ByteBuffer)
{
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("k254"), {}, QString(254, u'v'));
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("k255"), {}, QString(255, u'v'));
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("Key"), QStringLiteral("Name"), QStringLiteral("caf\u00e9 \u4e2d"));
    const QString dflt = QStringLiteral("default");
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("k254"), {}, dflt), QString(254, u'v'));
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("k255"), {}, dflt), dflt);
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("missing"), {}, dflt), dflt);
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("KEY"), QStringLiteral("name"), dflt),
              QStringLiteral("caf\u00e9 ?"));
    EXPECT_TRUE(ui->messageBoxes.empty());
}

TEST_F(ShellOpen, AnUnreadableRegistryIsToldToTheUser)
{
    registry->failure = kelvane::RuntimeError(kelvane::err::PathFileAccess, QStringLiteral("The registry is damaged"));
    EXPECT_EQ(ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral(".txt"), {}, QStringLiteral("Not Found")), QString());
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("ERROR #75 : The registry is damaged\rPlease exit and try again."));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::OKOnly);
}

TEST_F(ShellOpen, LocalServerPathGoesThroughTheClassId)
{
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("Writer.Application\\CLSID"), {}, QStringLiteral("{1234}"));
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1234}\\LocalServer32"), {}, QStringLiteral("/opt/writer /automation"));
    EXPECT_EQ(GetLocalServerPath(QStringLiteral("Writer.Application")), QStringLiteral("/opt/writer /automation"));
    EXPECT_EQ(GetLocalServerPath(QStringLiteral("Missing.Application")), QString());
    EXPECT_TRUE(ui->messageBoxes.empty());
}

// The emulated registry of a desktop without registrations opens everything with xdg-open.
TEST(ShellOpenOnTheDesktop, DocumentsAndLinksOpenWithTheDesktopOpener)
{
    ScopedService<Registry, platform::FileRegistry> registry(kelvane::test::scratchFolder() + QStringLiteral("/none.json"));
    ScopedService<ProcessLauncher, RecordingProcessLauncher> launcher;
    QString link = QStringLiteral("https://example.org/a b");
    QString report = QStringLiteral("/tmp/report 1.html");
    EXPECT_TRUE(ShellFile(link));
    EXPECT_TRUE(ShellFile(report));
    ASSERT_EQ(launcher->launches.size(), 2u);
    EXPECT_EQ(launcher->launches[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher->launches[0].arguments, QStringList {QStringLiteral("https://example.org/a%20b")});
    EXPECT_EQ(launcher->launches[1].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher->launches[1].arguments, QStringList {QStringLiteral("/tmp/report 1.html")});
}
