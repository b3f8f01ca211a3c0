// The commands of the node and link popup menus and the network menu's Add Node: each is an
// edit of the shown network, taken with a snapshot first where the edit calls for one. A
// command with no node or link to act on does nothing.

#include "diagram/ctlPelnet.h"

#include "diagram/CurrentUndoLevel.h"
#include "diagram/DiagramSupport.h"
#include "diagram/NetworkCanvas.h"
#include "diagram/PickupNodes.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/basGlobal.h"
#include "network/BusyPointer.h"
#include "platform/Canvas.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

namespace kelvane {

using namespace diagramsupport;

namespace {
constexpr double kPi = 3.141592;
} // namespace

void ctlPelnet::connectMenus()
{
    connect(m_mnuNode, &QMenu::aboutToShow, this, &ctlPelnet::mnuNode_Click);
    connect(m_mnuNetwork, &QMenu::aboutToShow, this, &ctlPelnet::mnuNetwork_Click);
    connect(mnuNodeAdd, &QAction::triggered, this, &ctlPelnet::mnuNodeAdd_Click);
    connect(mnuLinkAdd, &QAction::triggered, this, &ctlPelnet::mnuLinkAdd_Click);
    connect(mnuNodeMove, &QAction::triggered, this, &ctlPelnet::mnuNodeMove_Click);
    connect(mnuNodeDelete, &QAction::triggered, this, &ctlPelnet::mnuNodeDelete_Click);
    connect(mnuNodeDisabled, &QAction::triggered, this, &ctlPelnet::mnuNodeDisabled_Click);
    connect(mnuNodeColour, &QAction::triggered, this, &ctlPelnet::mnuNodeColour_Click);
    connect(mnuNodeProperties, &QAction::triggered, this, &ctlPelnet::mnuNodeProperties_Click);
    connect(mnuLinkDelete, &QAction::triggered, this, &ctlPelnet::mnuLinkDelete_Click);
    connect(mnuLinkProperties, &QAction::triggered, this, &ctlPelnet::mnuLinkProperties_Click);
    connect(mnuNetworkCopy, &QAction::triggered, this, &ctlPelnet::mnuNetworkCopy_Click);
    connect(mnuNetworkCut, &QAction::triggered, this, &ctlPelnet::mnuNetworkCut_Click);
    connect(mnuNetworkPaste, &QAction::triggered, this, &ctlPelnet::mnuNetworkPaste_Click);
    connect(mnuNodeCopy, &QAction::triggered, this, &ctlPelnet::mnuNodeCopy_Click);
    connect(mnuNodeCut, &QAction::triggered, this, &ctlPelnet::mnuNodeCut_Click);
    connect(mnuNodePickupFont, &QAction::triggered, this, &ctlPelnet::mnuNodePickupFont_Click);
    connect(mnuNodeApplyFonts, &QAction::triggered, this, &ctlPelnet::mnuNodeApplyFonts_Click);
    connect(mnuPickUpAnswers, &QAction::triggered, this, &ctlPelnet::mnuPickUpAnswers_Click);
    connect(mnuNodeApplyAnswers, &QAction::triggered, this, &ctlPelnet::mnuNodeApplyAnswers_Click);
    connect(mnunetworkDelete, &QAction::triggered, this, &ctlPelnet::mnunetworkDelete_Click);
    connect(mnuNetworkLayerAdd, &QAction::triggered, this, &ctlPelnet::mnuNetworkLayerAdd_Click);
    connect(mnuNetworkRefresh, &QAction::triggered, this, &ctlPelnet::mnuNetworkRefresh_Click);
    connect(mnuNetworkSpellCheck, &QAction::triggered, this, &ctlPelnet::mnuNetworkSpellCheck_Click);
    connect(mnuNetworkProperties, &QAction::triggered, this, &ctlPelnet::mnuNetworkProperties_Click);
}

// Prepares the node menu as it opens (and once more after it closed).
void ctlPelnet::mnuNode_Click()
{
    trappedVoid(kModule, "mnuNode_Click", [&] {
        const BusyPointer busy;
        // A lone node has nothing to link to.
        const auto& layers = ActiveNetwork()->Layers();
        mnuLinkAdd->setEnabled(!(layers.Count() == 1 && requireObject(layers.Item(1))->Nodes().Count() == 1));
        if (NodeFound)
            mnuNodeDisabled->setChecked(!NodeFound->Enabled());
        mnuNodeApplyFonts->setEnabled(PickupNodes::FontPickupNode != nullptr);
        mnuNodeApplyAnswers->setEnabled(PickupNodes::AnswerPickupNode != nullptr);
    });
}

void ctlPelnet::mnuNodeAdd_Click()
{
    trappedVoid(kModule, "mnuNodeAdd_Click", [&] {
        const BusyPointer busy;
        Change();
        // Wherever the menu was opened, the node goes to the end of the first layer.
        ActiveNetwork()->AddNode(1);
        DrawNetwork(false);
        UpdateButtons();
    });
}

void ctlPelnet::mnuNodeDelete_Click()
{
    if (!NodeFound)
        return;
    trappedVoid(kModule, "mnuNodeDelete_Click", [&] {
        const BusyPointer busy;
        Change();
        ActiveNetwork()->DeleteNode(NodeFound);
        showAfterRemoval();
    });
}

void ctlPelnet::mnuLinkDelete_Click()
{
    if (!LinkFound)
        return;
    // No snapshot; LinkFound keeps the link removed.
    trappedVoid(kModule, "mnuLinkDelete_Click", [&] {
        const BusyPointer busy;
        ActiveNetwork()->DeleteLink(LinkFound->ConnectionFrom.lock(), LinkFound->ConnectionTo);
        DrawNetwork(false);
    });
}

void ctlPelnet::mnuNodeColour_Click()
{
    if (!NodeFound)
        return;
    // Closing the dialog without a colour leaves everything as it was.
    const auto colour = platform::ui().chooseColour(NodeFound->Color);
    if (!colour)
        return;
    trappedVoid(kModule, "mnuNodeColour_Click", [&] {
        const BusyPointer busy;
        Change();
        NodeFound->Color = *colour;
        DrawNetwork(false);
        sendEditToServer();
    });
}

void ctlPelnet::mnuNodeDisabled_Click()
{
    if (!NodeFound)
        return;
    trappedVoid(kModule, "mnuNodeDisabled_Click", [&] {
        const BusyPointer busy;
        Change();
        // Choosing the item has toggled its check mark, which the menu took from the node.
        NodeFound->setEnabled(!mnuNodeDisabled->isChecked());
        DrawNetwork(false);
        sendEditToServer();
    });
}

void ctlPelnet::mnuLinkAdd_Click()
{
    if (!NodeFound)
        return;
    trappedVoid(kModule, "mnuLinkAdd_Click", [&] {
        CurrentUndoLevel::AddedItems = std::make_shared<UndoItems>();
        CurrentUndoLevel::DeletedItems = std::make_shared<UndoItems>();
        const BusyPointer busy;
        const auto shown = ActiveNetwork();
        const GridCell cell = cellOf(gridOf(*shown, m_picnetwork->ScaleWidth(), m_picnetwork->ScaleHeight()), *NodeFound);
        const QPointF centre = cell.centre;
        const float radius = float(cell.radius());
        // A ring on the node, lit at the upper left and shaded at the lower right; the next
        // redraw takes it away.
        const auto& settings = basGlobal::Settings;
        auto& canvas = m_picnetwork->canvas();
        canvas.Circle(centre.x(), centre.y(), radius, settings.HighlightColour, kPi / 4.0, 5.0 * kPi / 4.0);
        canvas.Circle(centre.x(), centre.y(), radius, settings.ShadowColour, 5.0 * kPi / 4.0, kPi / 4.0);
        m_picnetwork->update();
        m_linLink->setEnds(centre, centre);
        m_linLink->setVisible(true);
        cbLinkAnchored = true;
    });
}

} // namespace kelvane
