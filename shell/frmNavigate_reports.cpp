// The Reports menu and the reports of the program folder, the report pane, and the dialogs
// behind Help > About, View > Options and File > Properties.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/RequireObject.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "model/basRegistry.h"
#include "network/DocumentOutput.h"
#include "network/clsNetwork.h"
#include "platform/HostPath.h"
#include "platform/SystemInfo.h"
#include "platform/UiServices.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/KelvaneTreeview.h"
#include "shell/MenuCaptions.h"
#include "shell/StyleSheetReports.h"
#include "shell/ToolBands.h"
#include "shell/frmAbout.h"
#include "shell/frmOptions.h"
#include "shell/frmProperties.h"

#include <QFile>
#include <QMenu>
#include <QScopedValueRollback>
#include <QUrl>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmNavigate";

namespace reports = stylesheetreports;

QString reportFolder()
{
    return platform::systemInfo().programFolder();
}

QString temporaryFolder()
{
    return basLibrary::TempFolder.isEmpty() ? platform::systemInfo().tempFolder() : basLibrary::TempFolder;
}

// The open knowledge base as an XML document: every open network once a document is loaded,
// else the current one. The networks themselves are left as they are: their file names, their
// saved and changed flags.
void writeReportDocument(ctlPelnet& diagram, const QString& path)
{
    std::vector<std::shared_ptr<clsNetwork>> networks;
    if (diagram.Connected || diagram.Loaded)
        networks = diagram.Networks.Snapshot();
    else
        networks.push_back(diagram.Networks.Item(diagram.NetworkIndex()));

    DocumentOutput output(platform::hostPath(path));
    if (!output.open())
        raiseError(err::PathFileAccess, output.errorString());
    output.writeDocumentStart();
    for (const auto& network : networks) {
        const QString text = requireObject(network)->SerializeOutXML();
        if (text.isEmpty())
            raiseError(err::PathFileAccess);
        output.writeNetworkEntry(text);
    }
    output.writeDocumentEnd();
    if (!output.commit())
        raiseError(err::PathFileAccess, output.errorString());
}

} // namespace

// The Reports menu lists the style sheets of the program folder and the macro project's
// report menu items; without them it stays hidden.
bool frmNavigate::PopulateReportsMenu()
{
    trappedVoid(kModule, "PopulateReportsMenu", [&] {
        m_tools->ClearMenu(ToolBands::Reports);
        QMenu* menu = m_tools->Menu(ToolBands::Reports);
        const QStringList items = knowledgeBaseHost().ReportMenuItemNames();
        if (!items.isEmpty())
            HasCustomMenus = true;
        const QStringList names = reports::GetReportNames(reportFolder());
        for (const QString& name : names)
            menu->addAction(m_tools->AddTool(kReportToolPrefix + name, menucaptions::Literal(name)));
        for (const QString& item : items) {
            if (names.contains(item))
                continue; // a report and an item of one name share the report's entry
            QAction* tool = m_tools->AddTool(item);
            if (!menu->actions().contains(tool)) // two items of one name share one entry
                menu->addAction(tool);
        }
        menu->menuAction()->setVisible(!menu->actions().isEmpty());
    });
    return true;
}

void frmNavigate::RunReportNamed(const QString& name)
{
    const QString folder = reportFolder();
    if (!reports::GetReportNames(folder).contains(name))
        return;
    // The window stays responsive while the report is made: one report at a time.
    if (m_producingReport)
        return;
    const QScopedValueRollback producing(m_producingReport, true);

    const reports::ReportFiles files(name, temporaryFolder());
    const bool produced = trapped(kModule, "RunReport", false, [&] {
        QFile::remove(files.result);
        QFile::remove(files.document);
        writeReportDocument(*m_ctlPelnet1, files.document);
        const QString styleSheet = reports::StyleSheetOf(folder, name);
        return !styleSheet.isEmpty() && reports::Transform(styleSheet, files.document, files.result);
    });
    if (!produced) {
        // The document stays in the temporary folder, to see what the style sheet was given.
        platform::ui().messageBox(QStringLiteral("Error producing report"), platform::msgbox::Exclamation,
                                  platform::applicationTitle());
        return;
    }
    QFile::remove(files.document);
    QString page = QUrl::fromLocalFile(files.result).toString(QUrl::FullyEncoded);
    basRegistry::ShellFile(page);
}

// --- The report pane --------------------------------------------------------------------------------

void frmNavigate::DrawReportTree()
{
    m_KelvaneTreeview1->KnowledgeBase = basGlobal::CurrentKnowledgeBase;
    m_KelvaneTreeview1->DrawReport();
}

void frmNavigate::PrintReportTree()
{
    m_KelvaneTreeview1->PrintTree();
}

// --- Dialogs -------------------------------------------------------------------------------------------

void frmNavigate::mnuHelpAbout_Click()
{
    trappedVoid(kModule, "mnuHelpAbout_Click", [&] {
        frmAbout about(m_ctlPelnet1->Network(), m_ctlPelnet1->Splash(), this);
        about.exec();
    });
}

void frmNavigate::mnuViewReportProperties_Click()
{
    trappedVoid(kModule, "mnuViewReportProperties_Click", [&] {
        frmOptions options(m_ctlPelnet1, this);
        options.exec();
    });
}

void frmNavigate::mnuFileProperties_Click()
{
    trappedVoid(kModule, "mnuFileProperties_Click", [&] {
        frmProperties properties(*this);
        properties.exec();
    });
}

} // namespace kelvane
