// The main window's controls, its members as a host window, and its window events.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "answercontrols/Twips.h"
#include "model/basGlobal.h"
#include "platform/gui/PlainText.h"
#include "shell/HelpKey.h"
#include "shell/KelvaneTreeview.h"
#include "shell/ProductInfo.h"
#include "shell/ProgressBarControl.h"
#include "shell/ShellGlobals.h"
#include "shell/StatusBarControl.h"
#include "shell/ToolBands.h"
#include "shell/MainWindowConsultation.h"
#include "shell/frmSplash1.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

namespace kelvane {

namespace {
constexpr int kStatusStripHeight = 330; // twips
constexpr int kProgressBarWidth = 1800;
constexpr int kClockInterval = 1000; // milliseconds
} // namespace

frmNavigate::frmNavigate(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmNavigate"));
    setWindowTitle(productinfo::ProductName());
    m_tools = new ToolBands(*this);
    connect(m_tools, &ToolBands::ToolClick, this, [this](QAction* tool) { ToolClicked(*tool); });
    connect(m_tools->Menu(ToolBands::View), &QMenu::aboutToShow, this, [this] { mnuView_Click(); });
    createControls();
    m_consultation = std::make_unique<MainWindowConsultation>(*this);
    // F1 in this window and in every dialog of the program opens the help of that place.
    QCoreApplication::instance()->installEventFilter(new HelpKey(this));
    connect(m_ctlPelnet1, &ctlPelnet::Click, this, [this](std::shared_ptr<Node>& node) { ctlPelnet1_Click(node); });
}

frmNavigate::~frmNavigate()
{
    if (basGlobal::MainWindow == this)
        basGlobal::MainWindow = nullptr;
}

void frmNavigate::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    m_ctlPelnet1 = new ctlPelnet(m_client);
    m_ctlPelnet1->setObjectName(QStringLiteral("ctlPelnet1"));

    m_picReport = new QWidget(m_client);
    m_picReport->setObjectName(QStringLiteral("picReport"));
    m_picReport->hide();
    m_KelvaneTreeview1 = new KelvaneTreeview(m_picReport);
    m_KelvaneTreeview1->setObjectName(QStringLiteral("KelvaneTreeview1"));
    m_KelvaneTreeview1->hide();
    m_VScroll1 = new QScrollBar(Qt::Vertical, m_client);
    m_VScroll1->setObjectName(QStringLiteral("VScroll1"));
    m_VScroll1->hide();

    m_Picture1 = new QWidget(m_client);
    m_Picture1->setObjectName(QStringLiteral("Picture1"));
    m_Picture1->resize(m_Picture1->width(), twips::toPixels(kStatusStripHeight));
    m_sbStatusBar = new StatusBarControl(m_Picture1);
    m_sbStatusBar->resize(m_sbStatusBar->width(), twips::toPixels(kStatusStripHeight));
    m_ProgressBar1 = new ProgressBarControl(m_Picture1);
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setGeometry(0, 3, twips::toPixels(kProgressBarWidth), twips::toPixels(kStatusStripHeight) - 6);

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(kClockInterval);
    connect(m_Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

QString frmNavigate::Caption() const
{
    return platform::gui::plainWindowTitle(*this);
}

void frmNavigate::setCaption(const QString& caption)
{
    platform::gui::setPlainWindowTitle(*this, caption);
    if (mnuViewReportEnabled)
        m_diagramCaption = caption;
}

void frmNavigate::SetFocus()
{
    activateWindow();
    setFocus();
}

AbstractProgressBar* frmNavigate::ProgressBar1()
{
    return m_ProgressBar1;
}

void frmNavigate::Show(const QString& commandLine)
{
    m_commandLine = commandLine;
    Form_Load();
}

void frmNavigate::Form_Load()
{
    basGlobal::ApplicationMode = 1;
    m_ctlPelnet1->hide();
    m_ctlPelnet1->ParentForm = this;
    HelpContextID = 402;
    setProperty("HelpContextID", HelpContextID);
    m_Timer1->start();
    m_loading = true;
    m_loadResult = ViewerLoad();
    m_loading = false;
    if (m_unloaded)
        return;
    m_ctlPelnet1->show();
    // A shown window laid its panes out when it showed (finishLoad); a hidden one does so now.
    if (!isVisible())
        Form_Resize();
    Timer1_Timer();
}

void frmNavigate::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // A close asked for while the load or the shutdown runs waits for neither.
    if (m_loading || m_closing) {
        event->ignore();
        return;
    }
    m_closing = true;
    bool cancel = false;
    Form_Unload(cancel);
    m_closing = false;
    if (cancel)
        event->ignore();
    else
        event->accept();
}

bool frmNavigate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmNavigate::endProgram()
{
    m_unloaded = true;
    m_Timer1->stop();
    if (m_splash)
        m_splash->hide();
    hide();
    Q_EMIT programEnded();
}

} // namespace kelvane
