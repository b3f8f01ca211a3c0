#pragma once

#include "diagram/AbstractParentForm.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QScrollBar;
class QTimer;

namespace kelvane {

class Node;
class ProgressBarControl;
class StatusBarControl;
class ToolBands;
class clsNetwork;
class ctlPelnet;
class KelvaneTreeview;
class MainWindowConsultation;
class frmSplash1;
class frmViewerSplash;

// The main window: the diagram control (or the report pane) over the status strip, the menu
// bar and the button band. Its load opens the first document of the run, its unload ends the
// program. The members are spread over files by concern:
//   frmNavigate.cpp          controls, host-window members, Show, the window's events
//   frmNavigate_load.cpp     the load (ViewerLoad) and its steps
//   frmNavigate_unload.cpp   the shutdown (ViewerUnload, Form_Unload)
//   frmNavigate_tools.cpp    building the tool bands, the Tools menu, the dispatcher
//   frmNavigate_views.cpp    views, toggles, DrawDisplay, PrintDisplay, the clock
//   frmNavigate_layout.cpp   Form_Resize, the help commands, File > Print and Page Setup
//   frmNavigate_click.cpp    the hand-over of a node click to the consultation
//   frmNavigate_file.cpp     the File commands that open a document: New, Open, recently-used
//                            entries, and the changed-document question they ask first
//   frmNavigate_save.cpp     Save and Save As, through a temporary copy of the document
//   frmNavigate_recent.cpp   the recently-used list and its menu entries
//   frmNavigate_reports.cpp  the Reports menu, the report pane, About, Options, Properties
//   frmNavigate_server.cpp   the knowledge-server procedures
//
// Every handler runs under the common error trap (module "frmNavigate"): a failure ends that
// handler silently, keeping what it did before.
class frmNavigate : public QMainWindow, public AbstractParentForm {
    Q_OBJECT

public:
    explicit frmNavigate(QWidget* parent = nullptr);
    ~frmNavigate() override;

    // Start-up shows the window this way: the load runs for the command line (Form_Load), then
    // the window appears unless it stays hidden for an automation client or the load ended the
    // program.
    void Show(const QString& commandLine);

    // The window was unloaded: the program has ended (programEnded was raised).
    bool Unloaded() const { return m_unloaded; }
    // The load runs (Form_Load has not returned yet).
    bool Loading() const { return m_loading; }

    // --- The host window as the diagram control and the dialogs see it ---------------------------

    QString Caption() const override;
    void setCaption(const QString& caption) override;
    QString Name() const override { return QStringLiteral("frmNavigate"); }
    void SetFocus() override;
    AbstractProgressBar* ProgressBar1() override;

    // --- Controls ---------------------------------------------------------------------------------

    ctlPelnet& ctlPelnet1() const { return *m_ctlPelnet1; }
    QWidget* picReport() const { return m_picReport; }
    KelvaneTreeview* KelvaneTreeview1() const { return m_KelvaneTreeview1; }
    QScrollBar* VScroll1() const { return m_VScroll1; }
    QWidget* Picture1() const { return m_Picture1; } // the status strip
    StatusBarControl* sbStatusBar() const { return m_sbStatusBar; }
    ProgressBarControl* progressBar() const { return m_ProgressBar1; }
    QTimer* Timer1() const { return m_Timer1; }
    ToolBands& SSActiveToolBars1() const { return *m_tools; }
    frmSplash1* splash() const { return m_splash.get(); }

    // --- Window state -----------------------------------------------------------------------------

    // A document is open; the layout runs only then.
    bool DocumentReady = false;
    // The Tools or Reports menu holds the macro project's entries.
    bool HasCustomMenus = false;
    // The help topic of the main window.
    int HelpContextID = 0;
    // Which pane is shown: the diagram while true, the report pane while false.
    bool mnuViewReportEnabled = true;
    bool mnuViewStatusPanelChecked = true;
    bool mnuViewLinkImpactsChecked = true;

    // --- Load and shutdown ------------------------------------------------------------------------

    enum class LoadResult {
        Loaded,  // the document is open and the window set up
        Failed,  // no document: the user was told why; the window is up without one
        Unloaded // the program ended during the load (the start dialog closed without a choice)
    };
    void Form_Load();
    LoadResult ViewerLoad();
    bool ViewerUnload();
    void Form_Unload(bool& Cancel);
    LoadResult lastLoadResult() const { return m_loadResult; }

    // --- Tool bands, dispatcher ------------------------------------------------------------------

    void BuildToolBands();
    bool PopulateToolsMenu();
    bool PopulateReportsMenu();
    // Runs the command of the tool whose caption is `identifier`, after the macro project's
    // menu items of that name have raised their MenuClick.
    void SSActiveToolBars1_ToolClick(const QString& identifier);
    // A clicked tool: a report's runs that report (after the macro project's report items of
    // its name have raised their MenuClick) and nothing else; any other goes by its caption.
    void ToolClicked(QAction& tool);

    // --- File commands ----------------------------------------------------------------------------

    void mnuFile_Click();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    // True when the document was written.
    bool mnuFileSave_Click();
    bool mnuFileSaveAs_Click();
    // Saves the document under `path` (the name chosen, checked and confirmed by the caller)
    // through a temporary copy; the document keeps its old name when that failed.
    bool SaveDocumentAs(const QString& path);
    void mnuFileMRU_Click(int Index);
    void mnuFileProperties_Click();
    void mnuFilePrint_Click();
    void mnuFilePageSetup_Click();
    void mnuFileExit_Click();
    // Moves the file to the top of the recently-used list and brings the entries up to date.
    void UpdateMRU(const QString& FileName);

    // --- Views ------------------------------------------------------------------------------------

    void mnuView_Click();
    void mnuViewLinkImpacts_Click();
    void mnuViewReport_Click();
    void mnuViewStructure_Click();
    void mnuViewReportProperties_Click();
    void mnuViewStatusPanel_Click();
    void mnuViewToolbar_Click();
    void mnuWebSupport_Click();
    void DrawDisplay();
    void PrintDisplay();
    // The document's caption: the knowledge base's name (the program's without one), then
    // " - " and the scenario's name when it has one.
    QString documentCaption() const;
    // The window's caption and Help's about entry for the document just opened, in the pane
    // shown.
    void showDocumentCaption();
    void Timer1_Timer();

    // --- Layout, help, node click ---------------------------------------------------------------

    void Form_Resize();
    void Update();
    void mnuHelpContents_Click();
    void mnuHelpSearch_Click();
    void mnuHelpAbout_Click();
    void ctlPelnet1_Click(const std::shared_ptr<Node>& Node1);

    // --- Knowledge server, over the window's own request file and time limit -------------------

    // Posts an XML-RPC request; the result of its reply.
    QString PostXMLRPC(const QString& request);
    // A new session (SOAP Connect, then the XML-RPC log-on); true when the log-on gave a result.
    bool TavroConnect();
    // The server's folders in a browser that does not hold the window; OK opens the choice here.
    void ServerConnect();
    // Opens the knowledge base `guid` from the server in the diagram, online from then on.
    bool ServerRead(const QString& guid);
    // Writes a document to the server ("tavro.write"); the reply's result.
    QString ServerWrite(const QString& guid, const QString& xml, const QString& path, AbstractProgressBar* progress = nullptr);
    // Logs off; true when the reply gave a result.
    bool TavroDisconnect();

Q_SIGNALS:
    // The window was unloaded and the program ends.
    void programEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Help's about entry, whatever its caption; the caption's end while the report tree is shown.
    static inline const QString kAboutTool = QStringLiteral("&About");
    static inline const QString kTreeViewCaption = QStringLiteral(" - Tree View");
    // Report tools have ids of their own: no style sheet's name can be taken for the id of
    // another tool (a command, a recently-used entry, a macro's menu item).
    static inline const QString kReportToolPrefix = QStringLiteral("report\u0001");

    void createControls();
    void addTool(const QString& id, const QString& caption = {});

    // Pieces of the load.
    void placeWindow();
    void showRecentFiles();
    bool getDocument(const QString& commandLine, bool& startDialogUsed);
    bool waitForStartChoice();
    bool openDocument(bool startDialogUsed);
    void setUpDocument();
    void setUpKnowledgeBase(bool& loadCancelled);
    void fillSplash(clsNetwork& network);
    void waitJustOverASecond();
    void finishLoad(bool showIntroduction);
    void failLoad(const QString& message);
    void resetDocument();
    void showIntroduction();
    void setViewCaption(const QString& suffix);

    // Pieces of the dispatcher and the views.
    bool runFixedCommand(const QString& identifier);
    void showDiagramView(const QString& captionSuffix);
    QString recentFileCaption(int index) const;

    // The recently-used entries of the File menu.
    void updateRecentFileTools();

    // Opening another document and saving the open one.
    enum class OpenCommand { New, Open, Recent };
    // Asks whether to save a changed document; false when the user cancelled, or the save
    // failed or was cancelled: the command that asked then stops.
    bool saveChangesFirst();
    // Opens the document at `path` in place of the open one; a document that cannot be
    // opened leaves the open one as it was, and the user is told.
    void openAnotherDocument(const QString& path, OpenCommand command);
    // Saves the document as `realPath` through its temporary copy; false when it was not saved.
    bool saveThroughTemporaryCopy(const QString& realPath, bool saveAs);

    // Reports, report pane and the dialogs of the Reports and Help menus and File > Properties.
    void DrawReportTree();
    void PrintReportTree();
    // Produces the report of that name, when there is one.
    void RunReportNamed(const QString& name);

    // Ends the program once the window has unloaded.
    void endProgram();

    QString m_commandLine;
    LoadResult m_loadResult = LoadResult::Failed;
    bool m_unloaded = false;
    bool m_inResize = false;
    bool m_resizeAgain = false;
    bool m_togglingToolbar = false;
    bool m_closing = false;
    bool m_loading = false;
    bool m_printing = false;
    bool m_producingReport = false;
    QString m_aboutCaption;
    QString m_diagramCaption; // the caption while the diagram is shown, back when it shows again
    QString m_dialogFileName; // the file the open and save dialogs propose
    QPointer<QAction> m_mnuFileBar4; // the separator above the recently-used entries

    // Child controls, owned by the window.
    ctlPelnet* m_ctlPelnet1 = nullptr;
    QWidget* m_client = nullptr;
    QWidget* m_picReport = nullptr;
    KelvaneTreeview* m_KelvaneTreeview1 = nullptr;
    QScrollBar* m_VScroll1 = nullptr;
    QWidget* m_Picture1 = nullptr;
    StatusBarControl* m_sbStatusBar = nullptr;
    ProgressBarControl* m_ProgressBar1 = nullptr;
    QTimer* m_Timer1 = nullptr;
    ToolBands* m_tools = nullptr;
    std::unique_ptr<frmSplash1> m_splash;
    QPointer<frmViewerSplash> m_startDialog; // owned by the window while the load uses it

    // The window as the consultation reaches it; a node click is being handed over to it.
    std::unique_ptr<MainWindowConsultation> m_consultation;
    bool m_consultationStarting = false;
};

} // namespace kelvane
