// Reports through the style sheets of the program folder: the Reports menu, the document
// handed to xsltproc, the result opened, and the failures the user is told of.

#include "tests/shell/ShellTestSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "shell/StyleSheetReports.h"
#include "shell/ToolBands.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QUrl>

using namespace kelvane;
namespace reports = kelvane::stylesheetreports;

namespace {

const QString kSampleSheet = QStringLiteral(KELVANE_SOURCE_DIR "/app/data/Summary.xsl");

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList menuCaptions(const QMenu* menu)
{
    QStringList captions;
    for (const QAction* entry : menu->actions())
        captions << entry->text();
    return captions;
}

class Reports : public test::ShellTest {
protected:
    Reports()
    {
        QDir(system->program).removeRecursively(); // no style sheet of an earlier test
        QDir().mkpath(system->program);
        basLibrary::TempFolder = system->temp;
        QDir().mkpath(system->temp);
        registry->set(platform::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command"), {},
                      QStringLiteral("browser \"%1\""));
    }
    ~Reports() override { basLibrary::TempFolder.clear(); }

    QString programFile(const QString& name) const { return QDir(system->program).filePath(name); }
    QString tempFile(const QString& name) const { return QDir(system->temp).filePath(name); }
    void addSampleSheet(const QString& name) const { QFile::copy(kSampleSheet, programFile(name)); }
    QAction* tool(const QString& id) const { return window->SSActiveToolBars1().Tool(id); }
    // The Reports menu's entry that shows `name`.
    QAction* entry(const QString& name) const
    {
        for (QAction* shown : window->SSActiveToolBars1().Menu(ToolBands::Reports)->actions()) {
            if (shown->iconText() == name)
                return shown;
        }
        ADD_FAILURE() << "no report entry " << name.toStdString();
        return nullptr;
    }
};

TEST_F(Reports, StyleSheetsAreListedOnceEachInNameOrder)
{
    for (const char* name : {"Summary.xsl", "b.XSLT", "b.xsl", "a.Xsl", "my.report.xsl", "notes.txt", "x.xsl.bak", ".xsl"})
        writeFile(programFile(QString::fromLatin1(name)), "<x/>");
    QDir(system->program).mkdir(QStringLiteral("folder.xsl"));

    EXPECT_EQ(reports::GetReportNames(system->program), QStringList({"a", "b", "my", "Summary"}));
    EXPECT_EQ(reports::StyleSheetOf(system->program, QStringLiteral("b")), programFile(QStringLiteral("b.xsl")));
    EXPECT_EQ(reports::StyleSheetOf(system->program, QStringLiteral("a")), programFile(QStringLiteral("a.Xsl")));
    EXPECT_EQ(reports::StyleSheetOf(system->program, QStringLiteral("my")), programFile(QStringLiteral("my.report.xsl")));
    EXPECT_TRUE(reports::StyleSheetOf(system->program, QStringLiteral("notes")).isEmpty());
}

TEST_F(Reports, TheSampleReportListsEveryNodeAndLeavesTheDocumentAsItWas)
{
    addSampleSheet(QStringLiteral("Summary.xsl"));
    frmNavigate& w = load(sample());
    QMenu* menu = w.SSActiveToolBars1().Menu(ToolBands::Reports);
    EXPECT_TRUE(menu->menuAction()->isVisible());
    EXPECT_EQ(menuCaptions(menu), QStringList {QStringLiteral("Summary")});

    const auto network = w.ctlPelnet1().Network();
    QStringList names;
    for (const auto& layer : network->Layers())
        for (const auto& node : layer->Nodes())
            names << node->Name()->Text();
    ASSERT_EQ(names.size(), 9);
    network->Layers().Item(1)->Nodes().Item(1)->setAnswer(1);
    network->setDirty(true);
    const QString fileName = network->FileName();

    entry(QStringLiteral("Summary"))->trigger();
    EXPECT_TRUE(ui->messageBoxes.empty());
    ASSERT_EQ(launcher->launches.size(), 1u);
    EXPECT_EQ(launcher->launches[0].program, QStringLiteral("browser"));
    const QString result = tempFile(QStringLiteral("Summary.HTML"));
    EXPECT_EQ(QUrl(launcher->launches[0].arguments.last()).toLocalFile(), result);
    EXPECT_FALSE(QFile::exists(tempFile(QStringLiteral("Summary.XML"))));

    QFile html(result);
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    for (const QString& name : names)
        EXPECT_TRUE(page.contains(name)) << qPrintable(name);
    EXPECT_TRUE(page.contains(QStringLiteral("true to 100%")));

    // Producing a report neither saves nor renames the knowledge base.
    EXPECT_EQ(network->FileName(), fileName);
    EXPECT_TRUE(network->Dirty());
    EXPECT_FALSE(network->Saved);
}

TEST_F(Reports, AFailingStyleSheetIsToldAndAnOddNameIsPassedSafely)
{
    writeFile(programFile(QStringLiteral("Broken.xsl")), "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'>"
                                                         "<xsl:template match='/'><xsl:value-of select='(('/></xsl:template>"
                                                         "</xsl:stylesheet>");
    const QString odd = QStringLiteral("it's a; \"report\" $(x)");
    addSampleSheet(odd + QStringLiteral(".xsl"));
    frmNavigate& w = load(sample());

    w.SSActiveToolBars1_ToolClick(QStringLiteral("Broken"));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Error producing report"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Exclamation);
    EXPECT_TRUE(launcher->launches.empty());
    EXPECT_TRUE(QFile::exists(tempFile(QStringLiteral("Broken.XML")))); // kept, to see what went in

    entry(odd)->trigger();
    EXPECT_EQ(ui->messageBoxes.size(), 1u);
    ASSERT_EQ(launcher->launches.size(), 1u);
    EXPECT_TRUE(QFile::exists(tempFile(odd + QStringLiteral(".HTML"))));
    EXPECT_EQ(QUrl(launcher->launches[0].arguments.last()).toLocalFile(), tempFile(odd + QStringLiteral(".HTML")));
}

// A style sheet is handed the knowledge base to turn into its report, and writes nothing else.
TEST_F(Reports, AStyleSheetThatWritesAFileOfItsOwnIsRefused)
{
    const QString planted = tempFile(QStringLiteral("planted.txt"));
    writeFile(programFile(QStringLiteral("Planter.xsl")),
              "<xsl:stylesheet version='1.0' xmlns:xsl='http://www.w3.org/1999/XSL/Transform'"
              " xmlns:exsl='http://exslt.org/common' extension-element-prefixes='exsl'>"
              "<xsl:template match='/'><exsl:document href='" + QUrl::fromLocalFile(planted).toEncoded()
                  + "' method='text'>planted</exsl:document><html><body>report</body></html></xsl:template>"
                    "</xsl:stylesheet>");
    load(sample());

    entry(QStringLiteral("Planter"))->trigger();
    EXPECT_FALSE(QFile::exists(planted));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, QStringLiteral("Error producing report"));
    EXPECT_TRUE(launcher->launches.empty());
    EXPECT_FALSE(QFile::exists(tempFile(QStringLiteral("Planter.HTML"))));
}

TEST_F(Reports, ATransformThatTakesTooLongIsStopped)
{
    const QString slowTool = programFile(QStringLiteral("slow-tool"));
    writeFile(slowTool, "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(slowTool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString result = tempFile(QStringLiteral("r.HTML"));

    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(reports::Transform(kSampleSheet, sample(), result, std::chrono::milliseconds(300), slowTool));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(reports::Transform(kSampleSheet, sample(), result, std::chrono::milliseconds(300),
                                    programFile(QStringLiteral("no-such-tool"))));
}

TEST_F(Reports, MacroReportItemsShareTheMenuAndRaiseTheirEvents)
{
    host->reportMenuItems = {QStringLiteral("Costs")};
    frmNavigate& w = load(sample());
    QMenu* menu = w.SSActiveToolBars1().Menu(ToolBands::Reports);
    EXPECT_EQ(menuCaptions(menu), QStringList {QStringLiteral("Costs")});
    EXPECT_TRUE(w.HasCustomMenus);
    tool(QStringLiteral("Costs"))->trigger();
    EXPECT_EQ(host->menuClicks, QStringList {QStringLiteral("Costs")});
    EXPECT_TRUE(ui->messageBoxes.empty()); // no style sheet of that name: no report

    host->reportMenuItems.clear();
    w.PopulateReportsMenu();
    EXPECT_FALSE(menu->menuAction()->isVisible());
}

// A style sheet may bear any name: the name of a command, or of a tool of the window.
TEST_F(Reports, AStyleSheetNamedLikeACommandOrAToolProducesItsReportAndNothingElse)
{
    for (const char* name : {"MRU1.xsl", "&Options.xsl", "E&xit.xsl"})
        addSampleSheet(QString::fromLatin1(name));
    basGlobal::RecentFiles[0] = sample();
    frmNavigate& w = load(sample());
    QMenu* reportsMenu = w.SSActiveToolBars1().Menu(ToolBands::Reports);
    EXPECT_EQ(menuCaptions(reportsMenu), QStringList({"&&Options", "E&&xit", "MRU1"}));
    // The recently-used entry stays in the File menu alone.
    QAction* recent = tool(QStringLiteral("MRU1"));
    ASSERT_NE(recent, nullptr);
    EXPECT_FALSE(reportsMenu->actions().contains(recent));
    EXPECT_TRUE(w.SSActiveToolBars1().Menu(ToolBands::File)->actions().contains(recent));

    // A dialog opened by mistake is closed again, so that the test goes on to fail.
    int dialogsOpened = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++dialogsOpened;
            modal->close();
        }
    });
    closer.start(20);
    for (const char* name : {"&Options", "MRU1", "E&xit"}) {
        QAction* report = entry(QString::fromLatin1(name));
        ASSERT_NE(report, nullptr);
        report->trigger();
        EXPECT_TRUE(QFile::exists(tempFile(QString::fromLatin1(name) + QStringLiteral(".HTML")))) << name;
    }
    EXPECT_EQ(dialogsOpened, 0);
    EXPECT_FALSE(w.Unloaded());
    EXPECT_EQ(launcher->launches.size(), 3u);
}

} // namespace
