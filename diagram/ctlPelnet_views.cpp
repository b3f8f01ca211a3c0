// The shown network, zooming between levels, and the narrator buttons.

#include "diagram/ctlPelnet.h"

#include "diagram/AbstractParentForm.h"
#include "diagram/DiagramSupport.h"
#include "diagram/NarratorButton.h"
#include "model/ErrorTrap.h"
#include "model/Layer.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"

#include <QScopeGuard>
#include <utility>

namespace kelvane {

using namespace diagramsupport;

std::shared_ptr<clsNetwork> ctlPelnet::shownNetwork()
{
    if (Networks.Count() == 1)
        return Network();
    if (DisplayOverview)
        return requireObject(Overview);
    if (DisplayCompleteview)
        return requireObject(CompleteView);
    return requireObject(Networks.Item(m_networkIndex));
}

std::shared_ptr<clsNetwork> ctlPelnet::ActiveNetwork()
{
    const auto shown = shownNetwork();
    if (shown->GUID() != m_lastShownGUID)
        skippingErrors([&] { buildNarratorButtons(*shown); });
    m_lastShownGUID = shown->GUID();
    return shown;
}

void ctlPelnet::UpdateButtons()
{
    trappedVoid(kModule, "UpdateButtons", [&] {
        // Finding the network shown rebuilds the buttons when it changed; they are not made twice.
        const QString shownBefore = m_lastShownGUID;
        const auto shown = ActiveNetwork();
        if (shown->GUID() == shownBefore)
            skippingErrors([&] { buildNarratorButtons(*shown); });
    });
}

void ctlPelnet::unloadNarratorButtons()
{
    // The focus leaving a button that goes may land on another button: that selects nothing
    // (button 0 would otherwise hand it on to a button being unloaded, and back).
    const bool building = std::exchange(m_buildingButtons, true);
    m_cmdNarrater.unload();
    m_buildingButtons = building;
    mintButtonCount = 0;
}

// Button i belongs to the i-th node in layer-then-node order. A layer that cannot be read is
// skipped.
void ctlPelnet::buildNarratorButtons(clsNetwork& network)
{
    m_buildingButtons = true;
    const auto done = qScopeGuard([&] { m_buildingButtons = false; });
    unloadNarratorButtons();
    std::vector<std::shared_ptr<Node>> nodes;
    for (const auto& layer : network.Layers()) {
        if (!layer)
            continue;
        for (const auto& node : layer->Nodes()) {
            // The name a node shows (its number when it has none) is settled as it gets its button.
            if (node)
                skippingErrors([&] { node->Name(); });
            nodes.push_back(node);
        }
    }
    m_cmdNarrater.load(nodes);
    mintButtonCount = m_cmdNarrater.count();
}

void ctlPelnet::cmdNarrater_GotFocus(qint32 Index)
{
    skippingErrors([&] {
        // The node of the focused button becomes the only selected one, without moving the
        // focus back to a button.
        const auto shown = ActiveNetwork();
        basGlobal::NarratorSelecting = true;
        const auto lowered = qScopeGuard([] { basGlobal::NarratorSelecting = false; });
        qint32 count = 0;
        forEachNode(*shown, [&](const std::shared_ptr<Node>& node) { node->setSelected(++count == Index); });
    });
    skippingErrors([&] { DrawNetwork(false); });
    // Button 0 only passes the focus on, to the first node's button (whose own focus then
    // selects that node).
    if (Index == 0 && m_cmdNarrater.count() > 0)
        skippingErrors([&] { m_cmdNarrater.element(1)->setFocus(); });
}

namespace {

// The host caption of a zoom: the root's name, the scenario name when there is one, and the
// name of the network shown.
QString zoomCaption(clsNetwork& root, clsNetwork& shown)
{
    QString caption = root.Name()->Text();
    if (!root.ScenarioName().isEmpty())
        caption += QStringLiteral(" - ") + root.ScenarioName();
    return caption + QStringLiteral(" - ") + shown.Name()->Text();
}

} // namespace

void ctlPelnet::ZoomIn(const std::shared_ptr<Node>& node)
{
    trappedVoid(kModule, "ZoomIn", [&] {
        const auto lower = lowerLevelNetworkOf(*requireObject(node));
        if (ParentForm)
            ParentForm->setCaption(zoomCaption(*Network(), *requireObject(Networks.Item(lower->Index))));
        leaveShownNetwork();
        setNetworkIndex(lower->Index);
        if (node->LowerLevelNode)
            node->LowerLevelNode->setSelected(true);
        DrawNetwork(false);
    });
}

void ctlPelnet::ZoomOut(const std::shared_ptr<Node>& node)
{
    trappedVoid(kModule, "ZoomOut", [&] {
        const auto owner = owningNetworkOf(*requireObject(node));
        if (ParentForm)
            ParentForm->setCaption(zoomCaption(*Network(), *requireObject(Networks.Item(owner->Index))));
        node->setSelected(true);
        leaveShownNetwork();
        setNetworkIndex(owner->Index);
        DrawNetwork(false);
    });
}

void ctlPelnet::leaveShownNetwork()
{
    clearSelection(*requireObject(Networks.Item(m_networkIndex)));
    Selected.Clear();
    if (cbMoveAnchored)
        endMove();
}

} // namespace kelvane
