// Copy, cut and paste of nodes through the shared clipboard, and the copying of lower-level
// networks for pasted nodes. None of these commands takes a snapshot: their entries share
// the clipboard's places with the snapshots.

#include "diagram/ctlPelnet.h"

#include "diagram/DiagramSupport.h"
#include "diagram/clsClipboard.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/basLibrary.h"
#include "network/BusyPointer.h"

#include <QAction>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kelvane {

using namespace diagramsupport;

namespace {

// Each node copied and the copy made of it.
using CopiedNodes = std::vector<std::pair<std::shared_ptr<Node>, std::shared_ptr<Node>>>;

// The last node of the network, in layer and node order, with the GUID; null when none.
std::shared_ptr<Node> lastNodeWithGuid(clsNetwork& network, const QString& guid)
{
    std::shared_ptr<Node> found;
    forEachNode(network, [&](const std::shared_ptr<Node>& node) {
        if (node->GUID == guid)
            found = node;
    });
    return found;
}

qint16 nextNodeNumber(clsNetwork& network)
{
    network.cintCounter = conv::add16(network.cintCounter, 1);
    return network.cintCounter;
}

void appendToLayer(clsNetwork& network, const std::shared_ptr<Layer>& layer, const std::shared_ptr<Node>& node)
{
    node->Layer = layer;
    node->Network = network.weak_from_this();
    node->NodeIndex = conv::toInt16(double(layer->Nodes().Count() + 1));
    layer->Nodes().Add(node);
}

// Joins the copies as their originals are joined, wherever a link's evidence node was copied
// too (found by GUID among `network`'s nodes, the last match winning). The links are made
// once every copy is in place, so a link finds its end wherever that lies; a link to a node
// that was not copied is left out.
template <class Copied>
void copyLinks(clsNetwork& network, const CopiedNodes& copies, Copied&& copied)
{
    for (const auto& [original, copy] : copies) {
        for (const auto& link : original->Links()) {
            const auto& target = requireObject(link)->ConnectionTo;
            if (!target || !copied(*target))
                continue;
            if (const auto end = lastNodeWithGuid(network, target->GUID))
                link->copyBetween(copy, end);
        }
    }
}

// A network holding copies of the nodes of `shown` that are in `selection`, in layers matching
// theirs, with the links among them; every copy has a new GUID. The selection list, not the
// nodes' marks, says what is copied: it is what Cut then deletes.
std::shared_ptr<clsNetwork> copyOfSelection(clsNetwork& shown, const Collection<std::shared_ptr<Node>>& selection)
{
    std::unordered_set<const Node*> selected;
    for (const auto& node : selection)
        selected.insert(node.get());
    const auto isSelected = [&](const Node& node) { return selected.contains(&node); };

    const auto copy = clsNetwork::create();
    CopiedNodes copies;
    for (const auto& layer : shown.Layers().Snapshot()) {
        copy->AddLayer();
        const auto target = requireObject(copy->Layers().Item(copy->Layers().Count()));
        for (const auto& node : requireObject(layer)->Nodes().Snapshot()) {
            if (!isSelected(*requireObject(node)))
                continue;
            auto nodeCopy = node->Clone(false);
            nodeCopy->NodeNumber = nextNodeNumber(*copy);
            appendToLayer(*copy, target, nodeCopy);
            copies.emplace_back(node, std::move(nodeCopy));
        }
    }
    copyLinks(*copy, copies, isSelected);
    for (const auto& [original, nodeCopy] : copies)
        nodeCopy->GUID = basLibrary::NewGUIDString();
    return copy;
}

// A pasted node stands for no lower-level network: it becomes an ordinary node.
void cutLoose(Node& node)
{
    if (!node.LowerLevelNode)
        return;
    node.LowerLevelNode = nullptr;
    node.LowerLevelNetwork = nullptr;
    node.setExternal(false);
    node.ExternalFile.clear();
    node.setExternalGUID(QString());
    node.ExternalNetworkGUID.clear();
    node.setSourceIndex(0);
}

void appendEntry(std::shared_ptr<clsAction> entry)
{
    const auto clipboard = sharedClipboard();
    clipboard->Actions.Add(std::move(entry));
    clipboard->Paste = true;
}

// The newest copy or cut on the clipboard (0 counts too: an entry whose kind was never set).
std::shared_ptr<clsAction> latestCopy(const clsClipboard& clipboard)
{
    const auto entries = clipboard.Actions.Snapshot();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const qint16 kind = requireObject(*entry)->action;
        if (kind == 0 || kind == clipboardentry::Cut || kind == clipboardentry::Copy)
            return *entry;
    }
    return nullptr;
}

} // namespace

// --- Copy and cut ---------------------------------------------------------------------------------

bool ctlPelnet::recordSelection(qint16 action)
{
    if (Selected.isEmpty())
        return false;
    // The nodes come from the network shown; the record names the current network.
    const auto current = requireObject(Networks.Item(m_networkIndex));
    auto entry = std::make_shared<clsAction>();
    entry->action = action;
    entry->ObjectType = clipboardentry::Network;
    entry->Object = Variant::fromObject(copyOfSelection(*ActiveNetwork(), Selected));
    entry->OriginalObject = Variant::fromObject(requireObject(current->Clone(false)));
    entry->NetworkGUID = current->GUID();
    appendEntry(std::move(entry));
    return true;
}

bool ctlPelnet::recordNodeFound(qint16 action)
{
    if (!NodeFound)
        return false;
    const auto current = requireObject(Networks.Item(m_networkIndex));
    auto entry = std::make_shared<clsAction>();
    entry->action = action;
    entry->ObjectType = clipboardentry::OneNode;
    entry->Object = Variant::fromObject(NodeFound->Clone(true));
    if (action == clipboardentry::Cut)
        entry->OriginalObject = Variant::fromObject(requireObject(current->Clone(false)));
    entry->NetworkGUID = current->GUID();
    appendEntry(std::move(entry));
    return true;
}

void ctlPelnet::mnuNetworkCopy_Click()
{
    trappedVoid(kModule, "mnuNetworkCopy_Click", [&] {
        const BusyPointer busy;
        recordSelection(clipboardentry::Copy);
        UpdateToolbar();
    });
}

void ctlPelnet::mnuNetworkCut_Click()
{
    trappedVoid(kModule, "mnuNetworkCut_Click", [&] {
        const BusyPointer busy;
        if (recordSelection(clipboardentry::Cut))
            deleteSelectedNodes();
        showAfterRemoval();
    });
}

void ctlPelnet::mnuNodeCopy_Click()
{
    trappedVoid(kModule, "mnuNodeCopy_Click", [&] {
        const BusyPointer busy;
        recordNodeFound(clipboardentry::Copy);
        UpdateToolbar();
    });
}

void ctlPelnet::mnuNodeCut_Click()
{
    trappedVoid(kModule, "mnuNodeCut_Click", [&] {
        const BusyPointer busy;
        if (recordNodeFound(clipboardentry::Cut))
            ActiveNetwork()->DeleteNode(NodeFound);
        showAfterRemoval();
    });
}

// --- Paste ----------------------------------------------------------------------------------------

void ctlPelnet::mnuNetworkPaste_Click()
{
    trappedVoid(kModule, "mnuNetworkPaste_Click", [&] {
        const BusyPointer busy;
        const auto shown = ActiveNetwork();
        auto record = std::make_shared<clsAction>();
        record->action = clipboardentry::PasteRecord;
        record->ObjectType = clipboardentry::Network;
        record->OriginalObject = Variant::fromObject(requireObject(shown->Clone(false)));
        record->NetworkGUID = shown->GUID();

        // Paste records and snapshots are passed over, so pasting again pastes the same copy.
        const auto source = latestCopy(*sharedClipboard());
        if (!source) {
            mnuNetworkPaste->setEnabled(false);
        } else {
            if (source->ObjectType == clipboardentry::Network)
                pasteNetwork(*shown, *requireObject(source->Object.object<clsNetwork>()));
            else if (source->ObjectType == clipboardentry::OneNode)
                pasteNode(*shown, *requireObject(source->Object.object<Node>()));
            appendEntry(std::move(record));
        }
        shown->setDirty(true);
        if (source)
            sendEditToServer();
        UpdateToolbar();
        UpdateButtons();
        DrawNetwork(false);
    });
}

// The copied nodes go into the layers of the same positions (added as needed), joined as
// they were, with the network's controls they lack; they become the selection.
void ctlPelnet::pasteNetwork(clsNetwork& shown, clsNetwork& copied)
{
    clearSelection(shown);
    Selected.Clear();
    for (auto missing = copied.Layers().Count() - shown.Layers().Count(); missing > 0; --missing)
        shown.AddLayer();

    CopiedNodes pasted;
    qsizetype position = 0;
    for (const auto& layer : copied.Layers().Snapshot()) {
        const auto target = requireObject(shown.Layers().Item(++position));
        for (const auto& node : requireObject(layer)->Nodes().Snapshot()) {
            auto paste = requireObject(node)->Clone(false);
            addMissingControls(*paste, shown.Controls);
            cutLoose(*paste);
            paste->NodeNumber = nextNodeNumber(shown);
            appendToLayer(shown, target, paste);
            paste->setSelected(true);
            Selected.Add(paste);
            pasted.emplace_back(node, std::move(paste));
        }
    }
    copyLinks(shown, pasted, [](const Node&) { return true; });
    // New identities, so that the same copy can be pasted any number of times.
    for (const auto& [original, paste] : pasted)
        paste->GUID = basLibrary::NewGUIDString();
    shown.setDirty(true);
}

// One node goes to the end of the first layer (made when the network has none), without
// links; nothing stays selected.
void ctlPelnet::pasteNode(clsNetwork& shown, Node& copied)
{
    clearSelection(shown);
    Selected.Clear();
    const auto paste = copied.Clone(true);
    cutLoose(*paste);
    paste->NodeNumber = nextNodeNumber(shown);
    if (shown.Layers().isEmpty())
        shown.AddLayer();
    appendToLayer(shown, requireObject(shown.Layers().Item(1)), paste);
    shown.setDirty(true);
}

// --- Lower levels of pasted nodes -------------------------------------------------------------------

void ctlPelnet::PasteLowerLevels(const std::shared_ptr<Node>& node)
{
    trappedVoid(kModule, "PasteLowerLevels", [&] {
        QSet<QString> entered;
        pasteLowerLevels(node, entered);
    });
}

// `entered` holds the networks copied so far in this walk: a level that opens one of them
// again keeps its reference to the original instead of copying it without end.
void ctlPelnet::pasteLowerLevels(const std::shared_ptr<Node>& node, QSet<QString>& entered)
{
    if (LowerLevelNetworkFind(requireObject(node)))
        return;
    const auto original = lowerLevelNetworkOf(*node);
    if (entered.contains(original->GUID()))
        return;
    entered.insert(original->GUID());
    const auto copy = requireObject(original->Clone(false));
    node->LowerLevelNetwork = copy;
    forEachNode(*copy, [&](const std::shared_ptr<Node>& entry) {
        if (entry->GUID != node->ExternalGUID())
            return;
        node->LowerLevelNode = entry;
        entry->HigherLevelNetworks.Clear();
        entry->HigherLevelNetworks.Add(node->Network);
        entry->HigherLevelNodes.Clear();
        entry->HigherLevelNodes.Add(node);
    });
    forEachNode(*copy, [&](const std::shared_ptr<Node>& inner) {
        if (inner->LowerLevelNode)
            pasteLowerLevels(inner, entered);
    });
    copy->Index = conv::toInt16(double(Networks.Count() + 1));
    Networks.Add(copy);
}

} // namespace kelvane
