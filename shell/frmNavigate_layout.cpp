// The layout of the panes and the status strip, the help commands, and File > Print and
// Page Setup.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "answercontrols/Twips.h"
#include "model/ErrorTrap.h"
#include "model/basLibrary.h"
#include "platform/Printer.h"
#include "shell/DesktopPages.h"
#include "shell/KelvaneTreeview.h"
#include "shell/ProgressBarControl.h"
#include "shell/ShellGlobals.h"
#include "shell/StatusBarControl.h"

#include <QDir>
#include <QFileInfo>
#include <QScrollBar>

namespace kelvane {

namespace {

constexpr const char* kModule = "frmNavigate";
constexpr int kNarrowWindow = 6000; // twips: narrower windows have no room for the progress bar
constexpr int kStatusBarMargin = 30;
constexpr int kProgressBarGap = 15;

} // namespace

// The layout never yields to the message loop: a resize delivered meanwhile (a border being
// dragged) would run while this one is half done, with the window system's own state for the
// window changing under it. A resize that arrives from inside the layout is laid out after it.
void frmNavigate::Form_Resize()
{
    if (m_inResize) {
        m_resizeAgain = true; // a resize during the layout is laid out once it is done
        return;
    }
    m_inResize = true;
    do {
        m_resizeAgain = false;
        trappedVoid(kModule, "Form_Resize", [&] {
            if ((windowState() & Qt::WindowMinimized) || !DocumentReady)
                return;
            const int H = m_client->height();
            const int W = m_client->width();
            m_Picture1->setGeometry(0, H - m_Picture1->height(), W, m_Picture1->height());

            // The toolbar lies outside the client area: it takes no room from the status strip.
            const int S = m_Picture1->isHidden() ? 0 : m_Picture1->height();
            const int P = H - S;
            m_ctlPelnet1->setGeometry(0, 0, W, P);
            m_picReport->setGeometry(0, 0, W, P);
            m_VScroll1->setGeometry(W - m_VScroll1->sizeHint().width(), m_picReport->y(), m_VScroll1->sizeHint().width(),
                                    m_picReport->height());
            m_VScroll1->setPageStep(m_picReport->height());
            m_VScroll1->hide();

            m_sbStatusBar->move(0, 0);
            m_ProgressBar1->move(W - m_ProgressBar1->width(), m_ProgressBar1->y());
            if (twips::fromPixels(width()) < kNarrowWindow) {
                m_ProgressBar1->hide();
                m_sbStatusBar->resize(m_Picture1->width() - twips::toPixels(kStatusBarMargin), m_Picture1->height());
            } else {
                m_ProgressBar1->show();
                m_sbStatusBar->resize(m_ProgressBar1->x() - twips::toPixels(kProgressBarGap), m_Picture1->height());
            }
            m_sbStatusBar->update();

            if (mnuViewReportEnabled) {
                m_picReport->hide();
                m_ctlPelnet1->show();
                m_ctlPelnet1->DrawNetwork();
            } else {
                m_picReport->move(m_picReport->x(), m_VScroll1->value());
                m_KelvaneTreeview1->setGeometry(0, 0, m_picReport->width(), m_picReport->height());
            }
        });
    } while (m_resizeAgain);
    m_inResize = false;
}

void frmNavigate::Update()
{
    m_ctlPelnet1->Refresh();
}

// --- Help ------------------------------------------------------------------------------------------

void frmNavigate::mnuHelpContents_Click()
{
    trappedVoid(kModule, "mnuHelpContents_Click", [&] { desktoppages::ShowHelpContents(Caption()); });
}

// The help's index of topics, beside its contents page.
void frmNavigate::mnuHelpSearch_Click()
{
    trappedVoid(kModule, "mnuHelpSearch_Click", [&] {
        if (basGlobal::HelpFile.isEmpty()) {
            desktoppages::ShowHelpContents(Caption()); // says there is no help
            return;
        }
        const QString topics = QFileInfo(basGlobal::HelpFile).dir().filePath(QStringLiteral("topics.html"));
        desktoppages::ShowHelpPage(QFileInfo(topics).isFile() ? topics : basGlobal::HelpFile);
    });
}

// --- File > Print and Page Setup ------------------------------------------------------------------

void frmNavigate::mnuFilePrint_Click()
{
    trappedVoid(kModule, "mnuFilePrint_Click", [&] {
        // A cancelled printer dialog prints nothing.
        if (platform::printer().ShowPrinter())
            PrintDisplay();
    });
}

void frmNavigate::mnuFilePageSetup_Click()
{
    trappedVoid(kModule, "mnuFilePageSetup_Click", [&] { platform::printer().ShowPrinter(); });
}

} // namespace kelvane
