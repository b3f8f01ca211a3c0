// The views (the diagram, its overview and complete view, the report pane), the toolbar and
// status-strip toggles, link impacts, the web-support command, drawing and printing what is
// shown, and the clock.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"
#include "platform/Clock.h"
#include "platform/Printer.h"
#include "platform/UiServices.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/DesktopPages.h"
#include "shell/KelvaneTreeview.h"
#include "shell/ShellGlobals.h"
#include "shell/StatusBarControl.h"
#include "shell/ToolBands.h"

#include <QAction>
#include <QScrollBar>
#include <QToolBar>

namespace kelvane {

namespace {
constexpr const char* kModule = "frmNavigate";
constexpr int kClockPanel = 3;
} // namespace

void frmNavigate::setViewCaption(const QString& suffix)
{
    setCaption(documentCaption() + suffix);
}

void frmNavigate::mnuView_Click()
{
    mnuViewLinkImpactsChecked = basGlobal::LinkMode == 1;
}

void frmNavigate::mnuViewLinkImpacts_Click()
{
    trappedVoid(kModule, "mnuViewLinkImpacts_Click", [&] {
        basGlobal::LinkMode = basGlobal::LinkMode == 1 ? 0 : 1;
        m_ctlPelnet1->DrawNetwork();
    });
}

void frmNavigate::mnuViewReport_Click()
{
    trappedVoid(kModule, "mnuViewReport_Click", [&] {
        mnuViewReportEnabled = false;
        m_KelvaneTreeview1->show();
        Form_Resize();
        DrawDisplay();
        platform::ui().yield();
    });
}

// Back to the diagram: the caption it had comes back with it.
void frmNavigate::mnuViewStructure_Click()
{
    trappedVoid(kModule, "mnuViewStructure_Click", [&] {
        const bool fromReport = !mnuViewReportEnabled;
        mnuViewReportEnabled = true;
        m_KelvaneTreeview1->hide();
        m_VScroll1->hide();
        if (fromReport)
            setCaption(m_diagramCaption);
        DrawDisplay();
    });
}

// Back to the diagram after the control switched to its overview or complete view.
void frmNavigate::showDiagramView(const QString& captionSuffix)
{
    mnuViewReportEnabled = true;
    m_KelvaneTreeview1->hide();
    m_VScroll1->hide();
    DrawDisplay();
    setViewCaption(captionSuffix);
}

void frmNavigate::mnuViewStatusPanel_Click()
{
    trappedVoid(kModule, "mnuViewStatusPanel_Click", [&] {
        mnuViewStatusPanelChecked = !mnuViewStatusPanelChecked;
        m_Picture1->setVisible(mnuViewStatusPanelChecked);
        if (QAction* tool = m_tools->Tool(QStringLiteral("Status &Bar")))
            tool->setChecked(mnuViewStatusPanelChecked);
        Form_Resize();
    });
}

void frmNavigate::mnuViewToolbar_Click()
{
    trappedVoid(kModule, "mnuViewToolbar_Click", [&] {
        if (m_togglingToolbar)
            return;
        m_togglingToolbar = true;
        QToolBar* band = m_tools->ToolBar();
        const bool show = band->isHidden();
        band->setVisible(show);
        if (QAction* tool = m_tools->Tool(QStringLiteral("&Toolbar")))
            tool->setChecked(show);
        m_togglingToolbar = false;
    });
}

void frmNavigate::mnuWebSupport_Click()
{
    trappedVoid(kModule, "mnuWebSupport_Click",
                [&] { desktoppages::OpenWebAddress(m_ctlPelnet1->Network()->SupportURL); });
}

void frmNavigate::DrawDisplay()
{
    trappedVoid(kModule, "DrawDisplay", [&] {
        if (mnuViewReportEnabled) {
            m_picReport->hide();
            m_ctlPelnet1->show();
            m_ctlPelnet1->DrawNetwork();
        } else {
            m_picReport->show();
            m_ctlPelnet1->hide();
            platform::ui().yield();
            DrawReportTree();
        }
    });
}

void frmNavigate::PrintDisplay()
{
    if (m_printing)
        return; // one print job at a time
    m_printing = true;
    if (mnuViewReportEnabled) {
        trappedVoid(kModule, "PrintDisplay", [&] {
            m_picReport->hide();
            m_ctlPelnet1->show();
        });
        auto& printer = platform::printer();
        int orientation = platform::Printer::kPortrait;
        trappedVoid(kModule, "PrintDisplay", [&] {
            orientation = printer.Orientation();
            printer.setOrientation(platform::Printer::kLandscape);
        });
        trappedVoid(kModule, "PrintDisplay", [&] { m_ctlPelnet1->DrawNetwork(true); });
        trappedVoid(kModule, "PrintDisplay", [&] { printer.EndDoc(); });
        trappedVoid(kModule, "PrintDisplay", [&] { printer.setOrientation(orientation); });
        trappedVoid(kModule, "PrintDisplay", [&] { m_ctlPelnet1->DrawNetwork(); });
    } else {
        trappedVoid(kModule, "PrintDisplay", [&] { PrintReportTree(); });
    }
    m_printing = false;
}

void frmNavigate::Timer1_Timer()
{
    trappedVoid(kModule, "Timer1_Timer", [&] {
        m_sbStatusBar->setPanelStyle(kClockPanel, StatusBarControl::kTimeStyle);
        m_sbStatusBar->ShowTime(platform::clock().localNow().time());
        knowledgeBaseHost().PollMacroHost();
    });
}

} // namespace kelvane
