// The main window's load: placement, macro host, the document from the start dialog or the
// command line, degrees of truth, caption, the knowledge base with its Load event and splash,
// the tool bands and the introduction.

#include "shell/frmNavigate.h"

#include "diagram/NamesMeasuredAhead.h"
#include "diagram/ctlPelnet.h"
#include "answercontrols/Twips.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "network/NetworkRecompute.h"
#include "network/clsNetwork.h"
#include "platform/Clock.h"
#include "platform/SystemInfo.h"
#include "platform/UiServices.h"
#include "platform/gui/PlainText.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/ProductInfo.h"
#include "shell/ProgressBarControl.h"
#include "shell/MenuCaptions.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBands.h"
#include "shell/basMain.h"
#include "shell/frmIntroduction.h"
#include "shell/frmSplash1.h"
#include "shell/frmViewerSplash.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QEventLoop>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTimer>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmNavigate";

// Runs one step of the load's second half: a failing step is skipped and the load goes on.
template <class Body>
void skippable(const char* step, Body&& body)
{
    trappedVoid(kModule, step, std::forward<Body>(body));
}

bool endsWith(const QString& fileName, const QString& extension)
{
    return fileName.size() >= 4 && fileName.right(4).toUpper() == extension;
}

// The help page in the program's data folder; "" when the program has no help.
QString helpFileOfProgram()
{
    const QString page = QDir(platform::systemInfo().programFolder()).filePath(QStringLiteral("help/index.html"));
    return QFileInfo(page).isFile() ? page : QString();
}

// The smallest window a stored placement may ask for, in pixels: room for the menu bar, a
// piece of the diagram and the status strip.
constexpr QSize kSmallestWindow(200, 150);

QRect pixelsOf(const settingvalues::Placement& placement)
{
    return {twips::toPixels(placement.Left), twips::toPixels(placement.Top), twips::toPixels(placement.Width),
            twips::toPixels(placement.Height)};
}

// A window of that place and size can be seen and used: it is not too small, and some screen
// shows a part of it.
bool usable(const QRect& window)
{
    if (window.width() < kSmallestWindow.width() || window.height() < kSmallestWindow.height())
        return false;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(),
                       [&](const QScreen* screen) { return screen->availableGeometry().intersects(window); });
}

} // namespace

frmNavigate::LoadResult frmNavigate::ViewerLoad()
{
    DocumentReady = false;
    platform::ui().setBusyPointer(true);
    // The diagram is drawn once, when the window shows it at its size (finishLoad), however
    // often opening and laying out ask for it before.
    m_ctlPelnet1->holdDrawing();
    const auto drawn = qScopeGuard([this] { m_ctlPelnet1->releaseDrawing(); });
    enum class Document { Open, None, Failed, ProgramEnded };
    Document document = Document::None;
    bool startDialogUsed = false;
    try {
        placeWindow();
        knowledgeBaseHost().StartMacroHost(*this);
        basGlobal::Settings.AutoAnswer = settingvalues::readBoolean(QStringLiteral("AutoAnswer"), false);
        basGlobal::HelpFile = helpFileOfProgram();
        showRecentFiles();

        if (!getDocument(m_commandLine, startDialogUsed)) {
            document = Document::ProgramEnded;
        } else if (m_ctlPelnet1->Network()->FileName().isEmpty() && !m_ctlPelnet1->Connected) {
            document = Document::None;
        } else {
            document = openDocument(startDialogUsed) ? Document::Open : Document::Failed;
        }
    } catch (...) {
        const RuntimeError error = toRuntimeError(std::current_exception());
        basLibrary::ReportError(QString::fromLatin1(kModule), QStringLiteral("ViewerLoad"), error);
        failLoad(QStringLiteral("The knowledge base could not be loaded.\r") + error.Description());
        return LoadResult::Failed;
    }

    switch (document) {
    case Document::ProgramEnded:
        basGlobal::ApplicationMode = 0;
        endProgram();
        return LoadResult::Unloaded;
    case Document::None:
        failLoad({});
        return LoadResult::Failed;
    case Document::Failed:
        // A file the diagram refused with a message of its own is not reported twice.
        failLoad(m_ctlPelnet1->OpenRefusalShown() ? QString()
                                                  : m_ctlPelnet1->Network()->FileName() + QStringLiteral(" could not be opened."));
        return LoadResult::Failed;
    case Document::Open:
        break;
    }

    bool loadCancelled = false;
    try {
        setUpDocument();
        if (!m_ctlPelnet1->Connected)
            setUpKnowledgeBase(loadCancelled);
    } catch (...) {
        const RuntimeError error = toRuntimeError(std::current_exception());
        basLibrary::ReportError(QString::fromLatin1(kModule), QStringLiteral("ViewerLoad"), error);
        failLoad(QStringLiteral("The knowledge base could not be loaded.\r") + error.Description());
        return LoadResult::Failed;
    }
    finishLoad(!loadCancelled);
    return LoadResult::Loaded;
}

// --- Placement and the recently-used entries ---------------------------------------------------

// A stored placement that no screen could hold, or too small to use, gives way to the default one.
void frmNavigate::placeWindow()
{
    QRect window = pixelsOf({});
    try {
        if (const QRect stored = pixelsOf(settingvalues::readPlacement()); usable(stored))
            window = stored;
    } catch (const RuntimeError&) {
        // a stored value beyond any screen's coordinates
    }
    move(window.topLeft());
    resize(window.size());
}

void frmNavigate::showRecentFiles()
{
    updateRecentFileTools();
}

// --- Getting and opening the document -----------------------------------------------------------

// False when the program ended while the start dialog was up.
bool frmNavigate::getDocument(const QString& commandLine, bool& startDialogUsed)
{
    basGlobal::StartChoiceMade = false;
    if (commandLine.trimmed().isEmpty() && !basGlobal::AutomationMode) {
        startDialogUsed = true;
        return waitForStartChoice();
    }
    const QString document = basMain::DocumentOfCommandLine(commandLine);
    if (!document.isEmpty()) {
        m_ctlPelnet1->Network()->setFileName(document);
        basGlobal::DocumentPath = document;
    }
    return true;
}

// Shows the start dialog and waits, without a time limit, for its choice. The dialog stays up,
// showing the progress of the open, until the document is open. False when the dialog was
// closed without a choice.
bool frmNavigate::waitForStartChoice()
{
    m_startDialog = new frmViewerSplash(*this);
    bool ended = false;
    QEventLoop wait;
    connect(m_startDialog, &frmViewerSplash::choiceMade, &wait, &QEventLoop::quit);
    connect(m_startDialog, &frmViewerSplash::closedWithoutChoice, &wait, [&] {
        ended = true;
        wait.quit();
    });
    platform::ui().setBusyPointer(false);
    m_startDialog->show();
    wait.exec();
    platform::ui().setBusyPointer(true);
    if (ended)
        delete m_startDialog;
    return !ended;
}

bool frmNavigate::openDocument(bool startDialogUsed)
{
    bool opened = true;
    if (!m_ctlPelnet1->Connected) {
        if (basGlobal::AutomationMode)
            m_ctlPelnet1->FileOpen();
        else if (startDialogUsed && m_startDialog)
            opened = m_ctlPelnet1->FileOpen(m_startDialog->ProgressBar1());
        else
            opened = m_ctlPelnet1->FileOpen(m_ProgressBar1);
    }
    delete m_startDialog;
    return opened;
}

// --- Setting up the open document --------------------------------------------------------------

void frmNavigate::setUpDocument()
{
    if (basGlobal::AutomationMode) {
        hide();
        return;
    }
    platform::ui().setBusyPointer(false);
    basGlobal::MainWindowReady = 1;
    const auto network = m_ctlPelnet1->Network();
    if (network->NetworkType == 0)
        ResetAnswers(m_ctlPelnet1->Networks);
    RecomputeDegreesOfTruth(m_ctlPelnet1->Networks);
    if (network->NetworkType == 2 && !m_ctlPelnet1->Connected)
        UpdateMRU(network->FileName());
    platform::ui().yield();
    showDocumentCaption();
    for (const auto& open : m_ctlPelnet1->Networks) {
        if (open)
            open->setDirty(false);
    }
    m_ctlPelnet1->ParentForm = this;
    DocumentReady = true;
    setWindowState(windowState() | Qt::WindowMaximized);
}

QString frmNavigate::documentCaption() const
{
    const auto network = m_ctlPelnet1->Network();
    QString caption = network->Name()->Text();
    if (caption.isEmpty())
        caption = productinfo::ProductName();
    if (!network->ScenarioName().isEmpty())
        caption += QStringLiteral(" - ") + network->ScenarioName();
    return caption;
}

void frmNavigate::showDocumentCaption()
{
    m_diagramCaption = documentCaption();
    const QString shown = mnuViewReportEnabled ? m_diagramCaption : m_diagramCaption + kTreeViewCaption;
    platform::gui::setPlainWindowTitle(*this, shown);
    m_aboutCaption = menucaptions::About(m_ctlPelnet1->Network()->Name()->Text());
    if (QAction* about = m_tools->Tool(kAboutTool))
        about->setText(m_aboutCaption);
}

void frmNavigate::setUpKnowledgeBase(bool& loadCancelled)
{
    const auto network = m_ctlPelnet1->Network();
    knowledgeBaseHost().CreateKnowledgeBase(network, network->FileName());
    m_splash = std::make_unique<frmSplash1>();

    skippable("ViewerLoad", [&] { fillSplash(*network); });
    skippable("ViewerLoad", [&] { knowledgeBaseHost().FireLoad(loadCancelled); });
    skippable("ViewerLoad", [&] {
        if (!loadCancelled) {
            m_splash->show();
            m_splash->repaint();
        }
    });
    waitJustOverASecond();
    platform::ui().setBusyPointer(false);
    skippable("ViewerLoad", [&] {
        // A knowledge base is not saved over: the next Save asks for a scenario's name.
        if (endsWith(network->FileName(), QStringLiteral(".QKB")))
            network->setFileName({});
    });
    basGlobal::MainWindowReady = 1;
    m_splash->hide();
}

void frmNavigate::fillSplash(clsNetwork& network)
{
    skippable("ViewerLoad", [&] { m_splash->ShowTitle(*network.Name()); });
    skippable("ViewerLoad", [&] {
        const QImage picture = network.Picture.isEmpty() ? QImage() : m_ctlPelnet1->Splash();
        m_splash->ShowPicture(picture, basGlobal::Settings.BackColour);
    });
    skippable("ViewerLoad", [&] { m_splash->ShowCopyright(*network.Copyright()); });
    skippable("ViewerLoad", [&] { m_splash->ShowAuthor(*network.Author()); });
}

// Waits, with the message loop running, until two calendar-second boundaries have passed: just
// over a second. Meanwhile the names the diagram's first drawing needs are measured whenever the
// message loop is idle.
void frmNavigate::waitJustOverASecond()
{
    const QDateTime now = platform::clock().localNow();
    const int millisecond = now.isValid() ? now.time().msec() : 0;
    QEventLoop wait;
    QTimer::singleShot(2000 - millisecond, &wait, &QEventLoop::quit);
    const auto names = m_ctlPelnet1->measureNamesAhead();
    wait.exec();
}

// --- Finishing -------------------------------------------------------------------------------------

void frmNavigate::finishLoad(bool showIntroduction)
{
    skippable("ViewerLoad", [&] {
        platform::ui().yield();
        BuildToolBands();
    });
    skippable("ViewerLoad", [&] {
        platform::ui().yield();
        platform::ui().setBusyPointer(false);
    });
    if (!basGlobal::AutomationMode) {
        show();
        Form_Resize(); // the panes have their sizes once the window is shown
        // The size the window system gives the shown window arrives through the message loop.
        platform::ui().yield();
    }
    m_ctlPelnet1->releaseDrawing();
    if (showIntroduction && !basGlobal::AutomationMode)
        skippable("ViewerLoad", [&] { this->showIntroduction(); });
}

void frmNavigate::showIntroduction()
{
    const auto network = m_ctlPelnet1->Network();
    const QString name = network->Name()->Text();
    if (name.isEmpty() || settingvalues::introductionSuppressed(name))
        return;
    frmIntroduction introduction(network, m_ctlPelnet1->Splash(), this);
    introduction.exec();
}

// A load without a document: the user is told why (when there is something to tell) and the
// window comes up empty, ready for File > Open.
void frmNavigate::failLoad(const QString& message)
{
    platform::ui().setBusyPointer(false);
    resetDocument();
    if (!message.isEmpty()) {
        qWarning("%s", qPrintable(QString(message).replace(u'\r', u' ')));
        platform::ui().messageBox(message, platform::msgbox::Exclamation, platform::applicationTitle());
    }
    setCaption(productinfo::ProductName());
    m_aboutCaption = menucaptions::About(productinfo::ProductName());
    m_ctlPelnet1->ParentForm = this;
    DocumentReady = true;
    finishLoad(false);
}

void frmNavigate::resetDocument()
{
    auto network = clsNetwork::create();
    m_ctlPelnet1->Networks.Clear();
    m_ctlPelnet1->setNetwork(network);
    m_ctlPelnet1->Networks.Add(network);
    m_ctlPelnet1->Connected = false;
    basGlobal::DocumentPath.clear();
}

} // namespace kelvane
