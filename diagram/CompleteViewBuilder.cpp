#include "diagram/CompleteViewBuilder.h"

#include "diagram/DiagramSupport.h"
#include "model/Link.h"
#include "model/TextLabel.h"

#include <QHash>
#include <unordered_set>
#include <vector>

namespace kelvane {

using namespace diagramsupport;

namespace {

// The node a link's far end stands for here: the node itself, or, for the entry node of a
// lower-level network, the first node that opens it.
std::shared_ptr<Node> farEndOf(const std::shared_ptr<Node>& linked)
{
    if (requireObject(linked)->HigherLevelNodes.Count() > 0)
        return requireObject(linked->HigherLevelNodes.Item(1).lock());
    return linked;
}

// The nodes of the view by GUID, each list layer by layer in order.
QHash<QString, std::vector<std::shared_ptr<Node>>> nodesByGUID(clsNetwork& view)
{
    QHash<QString, std::vector<std::shared_ptr<Node>>> byGUID;
    forEachNode(view, [&](const std::shared_ptr<Node>& node) { byGUID[node->GUID].push_back(node); });
    return byGUID;
}

} // namespace

void CompleteViewBuilder::build(const std::vector<std::shared_ptr<clsNetwork>>& networks)
{
    for (auto network = networks.rbegin(); network != networks.rend(); ++network) {
        for (const auto& sourceLayer : requireObject(*network)->Layers().Snapshot()) {
            m_view.AddLayer();
            const auto layer = m_view.Layers().Item(m_view.Layers().Count());
            for (const auto& source : requireObject(sourceLayer)->Nodes().Snapshot()) {
                if (requireObject(source)->Enabled() && source->HigherLevelNodes.Count() == 0)
                    layer->Nodes().Add(copyOf(source, layer));
            }
        }
    }
    rejoinLinks();
    takeEntryIdentities();
    mergeNodesStandingForOneNode();
}

std::shared_ptr<Node> CompleteViewBuilder::copyOf(const std::shared_ptr<Node>& source, const std::shared_ptr<Layer>& layer)
{
    auto node = std::make_shared<Node>();
    node->Network = m_view.weak_from_this();
    node->Layer = layer;
    // The name and the answer labels are the source's own.
    node->setNameLabel(source->NameLabel());
    node->Answers = source->Answers;
    node->setAnswer(source->Answer());
    node->setOverridden(source->Overridden());
    node->Answered = source->Answered;
    node->GUID = source->GUID;
    node->Default = source->Default;
    node->NoDefault = source->NoDefault;
    if (source->Justification)
        node->Justification->setText(source->Justification->Text());
    node->Color = source->Color;
    node->DOT = source->DOT;
    node->Disabled = source->Disabled;
    node->TooltipText = source->TooltipText;
    for (const auto& link : source->Links())
        copyLink(node, *requireObject(link));
    if (source->LowerLevelNode) {
        // The node stands in for the entry node of its lower level and carries its links.
        node->LowerLevelNode = source->LowerLevelNode->Clone(false);
        for (const auto& link : source->LowerLevelNode->Links())
            copyLink(node, *requireObject(link));
    }
    ++m_nodeCounter;
    node->NodeNumber = m_nodeCounter;
    node->NodeIndex = m_nodeCounter;
    return node;
}

void CompleteViewBuilder::copyLink(const std::shared_ptr<Node>& holder, const Link& link)
{
    auto copy = std::make_shared<Link>();
    copy->WeightDeny = link.WeightDeny;
    copy->Weight = link.Weight;
    copy->WeightAffirm = link.WeightAffirm;
    copy->AlwaysDeny = link.AlwaysDeny;
    copy->AlwaysAffirm = link.AlwaysAffirm;
    copy->DOT = link.DOT;
    copy->ConnectionFrom = holder;
    copy->ConnectionTo = requireObject(farEndOf(link.ConnectionTo))->Clone(false);
    copy->ConnectionTo->Parents().Add(holder);
    holder->Links().Add(std::move(copy));
}

void CompleteViewBuilder::rejoinLinks()
{
    // Each link goes to the first node of the view, layer by layer, that bears its far end's GUID.
    const auto byGUID = nodesByGUID(m_view);
    forEachNode(m_view, [&](const std::shared_ptr<Node>& node) {
        for (const auto& link : node->Links()) {
            const auto found = byGUID.constFind(requireObject(link->ConnectionTo)->GUID);
            if (found == byGUID.cend())
                continue;
            const auto& target = found->front();
            link->ConnectionTo = target;
            target->Parents().Add(link->ConnectionFrom);
        }
    });
}

void CompleteViewBuilder::takeEntryIdentities()
{
    forEachNode(m_view, [](const std::shared_ptr<Node>& node) {
        if (node->LowerLevelNode)
            node->GUID = node->LowerLevelNode->GUID;
    });
}

void CompleteViewBuilder::mergeNodesStandingForOneNode()
{
    // A node merged away is no longer in its layer and takes no further part. Only nodes of
    // one GUID are compared, in the order of the view.
    const auto byGUID = nodesByGUID(m_view);
    std::unordered_set<const Node*> mergedAway;
    forEachNode(m_view, [&](const std::shared_ptr<Node>& kept) {
        if (!kept->LowerLevelNode || mergedAway.contains(kept.get()))
            return;
        for (const auto& other : byGUID.value(kept->GUID)) {
            if (other == kept || mergedAway.contains(other.get()))
                continue;
            const auto otherLayer = requireObject(other->Layer.lock());
            // A node at the kept node's place (its number in its layer) is that node.
            if (otherLayer == kept->Layer.lock() && other->NodeNumber == kept->NodeNumber)
                continue;
            for (const auto& parentRef : other->Parents()) {
                const auto parent = parentRef.lock();
                if (!parent)
                    continue;
                kept->Parents().Add(parent);
                for (const auto& link : parent->Links()) {
                    if (link->ConnectionTo == other)
                        link->ConnectionTo = kept;
                }
            }
            const qint32 position = other->Index();
            if (position >= 1)
                otherLayer->Nodes().Remove(position);
            mergedAway.insert(other.get());
        }
    });
}

} // namespace kelvane
