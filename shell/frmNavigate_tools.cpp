// The tool bands (the button band and the menus of the menu bar), the macro project's Tools
// menu, and the dispatcher that runs the command of a clicked tool.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/UiServices.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/MenuCaptions.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBands.h"
#include "shell/ToolPictures.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmNavigate";


QString recentFileTool(int index) { return QStringLiteral("MRU") + QString::number(index + 1); }

// The tooltip of a button: its caption without "&" and without "...".
QString tooltipOf(const QString& caption)
{
    QString tip = caption;
    tip.remove(u'&');
    tip.remove(QStringLiteral("..."));
    return tip;
}

} // namespace

void frmNavigate::addTool(const QString& id, const QString& caption)
{
    m_tools->AddTool(id, caption);
}

void frmNavigate::BuildToolBands()
{
    ToolBands& bands = *m_tools;
    QToolBar* buttons = bands.ToolBar();
    buttons->clear();
    const std::pair<QString, QIcon> buttonTools[] = {
        {QStringLiteral("&New"), toolpictures::New()},
        {QStringLiteral("&Open..."), toolpictures::Open()},
        {QStringLiteral("&Save"), toolpictures::Save()},
        {QStringLiteral("&Print"), toolpictures::Print()},
    };
    for (const auto& [id, picture] : buttonTools) {
        QAction* tool = bands.AddTool(id);
        tool->setIcon(picture);
        buttons->addAction(tool);
    }
    buttons->addSeparator();

    bands.ClearMenu(ToolBands::File);
    QMenu* file = bands.Menu(ToolBands::File);
    file->addAction(bands.AddTool(QStringLiteral("&New")));
    file->addAction(bands.AddTool(QStringLiteral("&Open...")));
    file->addSeparator();
    file->addAction(bands.AddTool(QStringLiteral("&Save")));
    file->addAction(bands.AddTool(QStringLiteral("Save &As...")));
    file->addSeparator();
    file->addAction(bands.AddTool(QStringLiteral("P&roperties...")));
    file->addSeparator();
    file->addAction(bands.AddTool(QStringLiteral("&Print")));
    m_mnuFileBar4 = file->addSeparator();
    for (int i = 0; i < basGlobal::kRecentFileCount; ++i)
        file->addAction(bands.AddTool(recentFileTool(i)));
    file->addSeparator();
    file->addAction(bands.AddTool(QStringLiteral("E&xit")));
    file->menuAction()->setVisible(true);

    bands.ClearMenu(ToolBands::View);
    QMenu* view = bands.Menu(ToolBands::View);
    QAction* toolbar = bands.AddTool(QStringLiteral("&Toolbar"));
    toolbar->setCheckable(true);
    toolbar->setChecked(!buttons->isHidden());
    view->addAction(toolbar);
    QAction* statusBar = bands.AddTool(QStringLiteral("Status &Bar"));
    statusBar->setCheckable(true);
    statusBar->setChecked(mnuViewStatusPanelChecked);
    view->addAction(statusBar);
    view->addSeparator();
    for (const char16_t* id : {u"&Overview", u"&Complete", u"&Tree", u"&Structure"})
        view->addAction(bands.AddTool(QString::fromUtf16(id)));
    view->addSeparator();
    view->addAction(bands.AddTool(QStringLiteral("&Options")));
    view->menuAction()->setVisible(true);

    PopulateToolsMenu();
    PopulateReportsMenu();

    bands.ClearMenu(ToolBands::Help);
    QMenu* help = bands.Menu(ToolBands::Help);
    help->addAction(bands.AddTool(QStringLiteral("&Contents")));
    if (!m_ctlPelnet1->Network()->SupportURL.isEmpty())
        help->addAction(bands.AddTool(QStringLiteral("&Web Site...")));
    help->addSeparator();
    QAction* about = bands.AddTool(kAboutTool);
    about->setText(m_aboutCaption);
    help->addAction(about);
    help->menuAction()->setVisible(true);
    platform::ui().yield();

    for (const auto& [id, picture] : buttonTools)
        bands.Tool(id)->setToolTip(tooltipOf(id));
    mnuFile_Click();
}

bool frmNavigate::PopulateToolsMenu()
{
    trappedVoid(kModule, "PopulateToolsMenu", [&] {
        const QStringList items = knowledgeBaseHost().MenuItemNames();
        m_tools->ClearMenu(ToolBands::Tools);
        HasCustomMenus = !items.isEmpty();
        QMenu* tools = m_tools->Menu(ToolBands::Tools);
        for (const QString& name : items) {
            QAction* item = m_tools->AddTool(name);
            if (!tools->actions().contains(item)) // two items of one name share one entry
                tools->addAction(item);
        }
        tools->menuAction()->setVisible(HasCustomMenus);
    });
    return true;
}

// --- The dispatcher ------------------------------------------------------------------------------

void frmNavigate::SSActiveToolBars1_ToolClick(const QString& identifier)
{
    trappedVoid(kModule, "SSActiveToolBars1_ToolClick", [&] {
        platform::ui().yield();
        // A macro menu item raises its event and, bearing a command's caption, runs it too.
        knowledgeBaseHost().FireMenuClick(identifier);
        if (!runFixedCommand(identifier))
            RunReportNamed(identifier);
    });
}

void frmNavigate::ToolClicked(QAction& tool)
{
    const QString id = tool.objectName();
    if (!id.startsWith(kReportToolPrefix)) {
        SSActiveToolBars1_ToolClick(tool.text());
        return;
    }
    const QString report = id.mid(kReportToolPrefix.size());
    trappedVoid(kModule, "SSActiveToolBars1_ToolClick", [&] {
        platform::ui().yield();
        knowledgeBaseHost().FireMenuClick(report);
        RunReportNamed(report);
    });
}

QString frmNavigate::recentFileCaption(int index) const
{
    return u'&' + QString::number(index + 1) + u' '
        + menucaptions::Literal(basLibrary::RelativePath(basGlobal::RecentFiles[std::size_t(index)]));
}

bool frmNavigate::runFixedCommand(const QString& identifier)
{
    if (identifier.left(6) == kAboutTool) {
        mnuHelpAbout_Click();
        return true;
    }
    for (int i = 0; i < basGlobal::kRecentFileCount; ++i) {
        if (!basGlobal::RecentFiles[std::size_t(i)].isEmpty() && identifier == recentFileCaption(i)) {
            mnuFileMRU_Click(i);
            return true;
        }
    }
    const std::pair<const char16_t*, void (frmNavigate::*)()> commands[] = {
        {u"&File", &frmNavigate::mnuFile_Click},
        {u"&Help", nullptr},
        {u"&New", &frmNavigate::mnuFileNew_Click},
        {u"&Open...", &frmNavigate::mnuFileOpen_Click},
        {u"Print S&etup...", &frmNavigate::mnuFilePageSetup_Click},
        {u"&Print", &frmNavigate::mnuFilePrint_Click},
        {u"P&roperties...", &frmNavigate::mnuFileProperties_Click},
        {u"E&xit", &frmNavigate::mnuFileExit_Click},
        {u"&Toolbar", &frmNavigate::mnuViewToolbar_Click},
        {u"Status &Bar", &frmNavigate::mnuViewStatusPanel_Click},
        {u"&Structure", &frmNavigate::mnuViewStructure_Click},
        {u"&Options", &frmNavigate::mnuViewReportProperties_Click},
        {u"&Contents", &frmNavigate::mnuHelpContents_Click},
        {u"&Search for help on...", &frmNavigate::mnuHelpSearch_Click},
        {u"&Web Site...", &frmNavigate::mnuWebSupport_Click},
    };
    for (const auto& [caption, command] : commands) {
        if (identifier == QString::fromUtf16(caption)) {
            if (command)
                (this->*command)();
            return true;
        }
    }
    if (identifier == QStringLiteral("&Save")) {
        mnuFileSave_Click();
    } else if (identifier == QStringLiteral("Save &As...")) {
        mnuFileSaveAs_Click();
    } else if (identifier == QStringLiteral("&Tree")) {
        mnuViewReport_Click();
        setViewCaption(kTreeViewCaption);
    } else if (identifier == QStringLiteral("&Overview")) {
        m_ctlPelnet1->ViewOverview();
        showDiagramView(QStringLiteral(" - Overview"));
    } else if (identifier == QStringLiteral("&Complete")) {
        m_ctlPelnet1->ViewCompleteView();
        showDiagramView(QStringLiteral(" - Complete View"));
    } else {
        return false;
    }
    return true;
}

} // namespace kelvane
