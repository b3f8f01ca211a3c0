// The dialogs of the Help, View and File menus: About, Options and Properties; and the web
// addresses the program opens.

#include "tests/shell/ShellTestSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"
#include "platform/QtColour.h"
#include "shell/DesktopPages.h"
#include "shell/ToolBands.h"
#include "shell/frmAbout.h"
#include "shell/frmIntroduction.h"
#include "shell/frmOptions.h"
#include "shell/frmProperties.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace kelvane;
using platform::HKEY_LOCAL_MACHINE;

namespace {

const QString kHttpCommand = QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command");
const QString kNoSystemInfo = QStringLiteral("System Information Is Unavailable At This Time");

class ProgramDialogs : public test::ShellTest {
protected:
    ProgramDialogs() { registry->set(HKEY_LOCAL_MACHINE, kHttpCommand, {}, QStringLiteral("browser \"%1\"")); }
    void click(const QString& id) const { window->SSActiveToolBars1().Tool(id)->trigger(); }
};

TEST_F(ProgramDialogs, TheAboutBoxShowsTheKnowledgeBaseAndStartsTheSystemInformationTool)
{
    load(sample());
    test::WhenModalShows check([](QWidget& modal) {
        auto* about = dynamic_cast<frmAbout*>(&modal);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About Car will not start"));
        EXPECT_EQ(about->lblTitle()->text(), QStringLiteral("Car will not start"));
        EXPECT_EQ(about->lblVersion()->text(), QStringLiteral("Author: Kelvane examples"));
        EXPECT_EQ(about->cmdSysInfo()->text(), QStringLiteral("&System Info..."));
        EXPECT_EQ(about->cmdKelvane()->text(), QStringLiteral("&Kelvane..."));
        EXPECT_EQ(about->Label1()->text(), QStringLiteral("www.kelvane.example"));
        about->close();
    });
    click(QStringLiteral("&About"));

    auto network = window->ctlPelnet1().Network();
    QImage tall(10, 40, QImage::Format_RGB32);
    tall.fill(Qt::red);
    frmAbout about(network, tall);
    const QImage frame = about.picGraphic()->pixmap().toImage();
    EXPECT_EQ(QColor(frame.pixel(1, 1)), QColor(Qt::red)); // stretched over the whole frame
    EXPECT_TRUE(about.Image1()->isHidden());
    // The introduction keeps the picture's proportions: white beside a tall one.
    frmIntroduction introduction(network, tall);
    const QImage fitted = introduction.picGraphic()->pixmap().toImage();
    EXPECT_EQ(QColor(fitted.pixel(1, fitted.height() / 2)), QColor(Qt::white));
    EXPECT_EQ(QColor(fitted.pixel(fitted.width() / 2, fitted.height() / 2)), QColor(Qt::red));

    about.cmdKelvane()->click();
    ASSERT_EQ(launcher->launches.size(), 1u);
    EXPECT_EQ(launcher->launches[0].arguments.last(), QStringLiteral("https://www.kelvane.example"));

    about.cmdSysInfo()->click(); // the registry names no tool
    const QString folderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
    registry->set(HKEY_LOCAL_MACHINE, folderKey, QStringLiteral("MSINFO"), test::scratchFolder());
    about.cmdSysInfo()->click(); // its folder lacks the tool
    ASSERT_EQ(ui->messageBoxes.size(), 2u);
    EXPECT_EQ(ui->messageBoxes[1].text, kNoSystemInfo);
    EXPECT_EQ(ui->messageBoxes[1].style, platform::msgbox::OKOnly);

    QFile tool(QDir(test::scratchFolder()).filePath(QStringLiteral("MSINFO32.EXE")));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.close();
    about.cmdSysInfo()->click();
    registry->set(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"),
                  QStringLiteral("/opt/sysinfo"));
    launcher->missingPrograms << QStringLiteral("/opt/sysinfo");
    about.cmdSysInfo()->click(); // named, but cannot start
    ASSERT_EQ(launcher->launches.size(), 2u);
    EXPECT_EQ(launcher->launches[1].program, tool.fileName());
    EXPECT_EQ(ui->messageBoxes.size(), 3u);
}

TEST_F(ProgramDialogs, OnlyWebAndMailAddressesAreOpened)
{
    for (const char* address : {"https://kelvane.example/a b", "HTTP://x.example", "mailto:help@kelvane.example"})
        EXPECT_TRUE(desktoppages::IsWebAddress(QString::fromLatin1(address))) << address;
    for (const char* address : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "http://", "ftp://x.example", ""})
        EXPECT_FALSE(desktoppages::IsWebAddress(QString::fromLatin1(address))) << address;

    frmNavigate& w = load(sample());
    w.ctlPelnet1().Network()->SupportURL = QStringLiteral("/usr/bin/xterm");
    click(QStringLiteral("&Web Site..."));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("/usr/bin/xterm is not a web or mail address and is not opened."));
    EXPECT_TRUE(launcher->launches.empty());

    w.ctlPelnet1().Network()->SupportURL = QStringLiteral("mailto:help@kelvane.example");
    click(QStringLiteral("&Web Site..."));
    ASSERT_EQ(launcher->launches.size(), 1u);
    EXPECT_EQ(launcher->launches[0].program, QStringLiteral("browser"));
    EXPECT_EQ(launcher->launches[0].arguments.last(), QStringLiteral("mailto:help@kelvane.example"));
}

TEST_F(ProgramDialogs, OptionsEditTheSettingsAndApplySavesThem)
{
    frmNavigate& w = load(sample());
    basGlobal::Settings.HighlightColour = platform::colours::rgb(1, 1, 1);
    basGlobal::ServerPassword = QStringLiteral("secret");
    // Automatic answering by the user's setting alone: the knowledge base does not ask for it.
    w.ctlPelnet1().Network()->AutoAnswer = false;
    const auto lights = w.ctlPelnet1().Network()->Layers().Item(1)->Nodes().Item(1);
    lights->setAnswer(1);
    const auto battery = lights->Parents().Item(1).lock();
    ASSERT_TRUE(battery);
    EXPECT_FALSE(battery->Answered);

    frmOptions options(&w.ctlPelnet1(), &w);
    options.show();
    EXPECT_EQ(options.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(options.cmdApply()->text(), QStringLiteral("&Apply"));
    EXPECT_EQ(options.findChild<QLabel*>(QStringLiteral("lblPositive"))->text(), QStringLiteral("Positive impact"));
    EXPECT_EQ(options.SwatchColour(frmOptions::Highlight), platform::colours::rgb(1, 1, 1));
    EXPECT_EQ(options.txtPassword()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(options.txtPassword()->text(), QStringLiteral("secret"));
    EXPECT_TRUE(options.SSTab1()->isTabEnabled(1));
    EXPECT_TRUE(options.chkShowAnswer()->isChecked());
    EXPECT_FALSE(options.cmdApply()->isEnabled());

    QTest::keyClicks(options.txtUserName(), QStringLiteral("ann"));
    EXPECT_TRUE(options.cmdApply()->isEnabled());
    ui->queueColourAnswer(platform::colours::rgb(9, 8, 7));
    options.ColourButton(frmOptions::Highlight)->click();
    EXPECT_EQ(options.SwatchColour(frmOptions::Highlight), platform::colours::rgb(9, 8, 7));
    EXPECT_EQ(options.SwatchColour(frmOptions::Shadow), basGlobal::Settings.ShadowColour);
    ui->queueColourAnswer(std::nullopt);
    options.ColourButton(frmOptions::Shadow)->click(); // cancelled: the swatch stays
    EXPECT_EQ(options.SwatchColour(frmOptions::Shadow), basGlobal::Settings.ShadowColour);
    options.chkAutoAnswer()->click();
    options.chkShowAnswer()->click();

    options.cmdApply()->click();
    EXPECT_FALSE(options.cmdApply()->isEnabled());
    EXPECT_TRUE(basGlobal::Settings.AutoAnswer);
    EXPECT_FALSE(basGlobal::Settings.ShowAnswer);
    EXPECT_TRUE(battery->Answered); // the stored answer was stored again, answering its parent
    EXPECT_EQ(settingvalues::readColour(QStringLiteral("Highlight Colour"), 0), platform::colours::rgb(9, 8, 7));
    EXPECT_EQ(settingvalues::readText(QStringLiteral("Tavro Username")), QStringLiteral("ann"));
    EXPECT_EQ(settingvalues::readText(QStringLiteral("ShowAnswer")), QStringLiteral("False"));

    options.chkAutoAnswer()->click();
    options.cmdCancel()->click(); // nothing applied
    EXPECT_TRUE(basGlobal::Settings.AutoAnswer);
}

TEST_F(ProgramDialogs, OptionsWithoutTheMainWindowLeaveAnsweringAlone)
{
    frmOptions options(nullptr);
    EXPECT_TRUE(options.chkAutoAnswer()->isHidden());
    EXPECT_TRUE(options.chkShowAnswer()->isHidden());
    EXPECT_FALSE(options.SSTab1()->isTabEnabled(1));
    options.txtServer()->setText(QStringLiteral("https://server.example"));
    options.cmdOK()->click(); // OK applies even with Apply disabled
    EXPECT_EQ(basGlobal::ServerURL, QStringLiteral("https://server.example"));
    EXPECT_FALSE(basGlobal::Settings.AutoAnswer);
    EXPECT_EQ(settingvalues::readText(QStringLiteral("Tavro")), QStringLiteral("https://server.example"));
}

TEST_F(ProgramDialogs, PropertiesEditTheNetworkAndMarkItChanged)
{
    frmNavigate& w = load(sample());
    const auto network = w.ctlPelnet1().Network();
    network->Description = QStringLiteral("first\rsecond");
    network->setVersion(QStringLiteral("2024-03-01"));
    network->setDirty(false);

    {
        frmProperties properties(w);
        EXPECT_EQ(properties.Label1()->text(), QStringLiteral("Scenario Name"));
        EXPECT_EQ(properties.Label3()->text(), QStringLiteral("Last Modified"));
        EXPECT_EQ(properties.txtAuthor()->text(), QStringLiteral("Kelvane examples"));
        EXPECT_EQ(properties.txtVersion()->text(), QStringLiteral("2024-03-01"));
        EXPECT_EQ(properties.txtCopyright()->toPlainText(), QStringLiteral("first\nsecond"));
        EXPECT_TRUE(properties.Label4()->alignment() & Qt::AlignLeft);
        properties.cmdOK()->click(); // nothing edited: nothing changes
    }
    EXPECT_EQ(network->Description, QStringLiteral("first\rsecond"));
    EXPECT_FALSE(network->Dirty());
    EXPECT_EQ(w.Caption(), kSampleName);

    {
        frmProperties properties(w);
        properties.show();
        properties.txtVersion()->setText(QStringLiteral("never stored"));
        properties.txtCopyright()->setFocus();
        QTest::keyClick(properties.txtCopyright(), Qt::Key_Return); // a new line, not OK
        EXPECT_TRUE(properties.isVisible());
        properties.txtTitle()->setText(QStringLiteral("Monday"));
        QTest::keyClick(properties.txtTitle(), Qt::Key_Return); // OK
        EXPECT_FALSE(properties.isVisible());
    }
    EXPECT_EQ(network->ScenarioName(), QStringLiteral("Monday"));
    EXPECT_EQ(network->Description, QStringLiteral("\rfirst\rsecond"));
    EXPECT_NE(network->Version(), QStringLiteral("never stored"));
    EXPECT_TRUE(network->Dirty());
    EXPECT_EQ(w.Caption(), kSampleName + QStringLiteral(" - Monday"));

    {
        frmProperties properties(w);
        properties.txtAuthor()->setText(QStringLiteral("Bob"));
        properties.cmdCancel()->click();
    }
    EXPECT_EQ(network->Author()->Text(), QStringLiteral("Kelvane examples"));
}

} // namespace
