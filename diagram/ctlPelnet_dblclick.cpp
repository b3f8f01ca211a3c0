// The canvas's double-click action and the two properties commands it leads to.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/basGlobal.h"
#include "network/BusyPointer.h"

namespace kelvane {

using namespace diagramsupport;

namespace {

// The node belongs to `view` (the overview or the complete view).
bool belongsTo(const std::shared_ptr<Node>& node, const std::shared_ptr<clsNetwork>& view)
{
    return node && view && owningNetworkOf(*node)->GUID() == view->GUID();
}

} // namespace

void ctlPelnet::picnetwork_DblClick()
{
    trappedVoid(kModule, "picNetwork_DblClick", [&] {
        const BusyPointer busy;
        if (basGlobal::ApplicationMode == 1 || DisplayOverview || DisplayCompleteview)
            return;
        // Nothing of a view is edited.
        for (const auto& view : {Overview, CompleteView}) {
            if (!view)
                continue;
            if (belongsTo(NodeFound, view))
                return;
            if (LinkFound && belongsTo(LinkFound->ConnectionFrom.lock(), view))
                return;
        }
        if (NodeFound)
            mnuNodeProperties_Click();
        else if (LinkFound)
            mnuLinkProperties_Click();
    });
}

// Node and link properties offer nothing to change.
void ctlPelnet::mnuNodeProperties_Click()
{
    const BusyPointer busy;
}

void ctlPelnet::mnuLinkProperties_Click()
{
    const BusyPointer busy;
}

} // namespace kelvane
