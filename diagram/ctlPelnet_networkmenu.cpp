// The network menu: which of its items are offered as it opens, and its commands on the
// shown network as a whole (delete the selection, insert a layer, restructure, properties).

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "diagram/clsClipboard.h"
#include "model/ErrorTrap.h"
#include "network/BusyPointer.h"
#include "platform/UiServices.h"

#include <QAction>

namespace kelvane {

using namespace diagramsupport;

void ctlPelnet::mnuNetwork_Click()
{
    trappedVoid(kModule, "mnuNetwork_Click", [&] {
        const BusyPointer busy;
        // Paste stays offered once anything was copied, even after the copy has been trimmed
        // from the clipboard (Paste then disables itself).
        mnuNetworkPaste->setEnabled(sharedClipboard()->Paste);
        const bool anySelected = !Selected.isEmpty();
        mnuNetworkCut->setEnabled(anySelected);
        mnuNetworkCopy->setEnabled(anySelected);
        mnunetworkDelete->setEnabled(anySelected);
        mnuNetworkProperties->setEnabled(!anySelected && !(DisplayOverview || DisplayCompleteview));
        // Without a dictionary the spell check is not offered.
        if (!platform::ui().spellingAvailable())
            mnuNetworkSpellCheck->setEnabled(false);
    });
}

void ctlPelnet::deleteSelectedNodes()
{
    const auto shown = ActiveNetwork();
    for (const auto& node : Selected.Snapshot())
        shown->DeleteNode(node);
}

void ctlPelnet::showAfterRemoval()
{
    Selected.Clear();
    NodeFound = nullptr;
    DrawNetwork(false);
    UpdateToolbar();
    UpdateButtons();
}

void ctlPelnet::mnunetworkDelete_Click()
{
    trappedVoid(kModule, "mnuNetworkDelete_Click", [&] {
        const BusyPointer busy;
        Change();
        deleteSelectedNodes();
        showAfterRemoval();
    });
}

void ctlPelnet::mnuNetworkLayerAdd_Click()
{
    trappedVoid(kModule, "mnuNetworkLayerAdd_Click", [&] {
        const BusyPointer busy;
        Change();
        // The new empty layer goes in front.
        ActiveNetwork()->InsertLayer();
        DrawNetwork(false);
    });
}

void ctlPelnet::mnuNetworkRefresh_Click()
{
    trappedVoid(kModule, "mnuNetworkRefresh_Click", [&] {
        const BusyPointer busy;
        Change();
        ActiveNetwork()->ReStructure(false);
        DrawNetwork(false);
    });
}

// The network's properties offer nothing to change.
void ctlPelnet::mnuNetworkProperties_Click()
{
    const BusyPointer busy;
}

} // namespace kelvane
