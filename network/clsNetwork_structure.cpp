// The layer structure rules: every link must lead from a node to a node in a strictly lower
// layer. Structure mends a layering by lifting nodes; ReStructure lays the network out anew.

#include "network/clsNetwork.h"

#include "model/AbstractHostDisplay.h"
#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "network/LayerLifting.h"
#include "network/LinkWalk.h"
#include "network/NetworkSupport.h"
#include "platform/Conversions.h"

#include <vector>

namespace kelvane {

using namespace networksupport;

namespace {

// A node is held in place when one of its parents stands at most one layer above it.
bool isHeld(const Node& node)
{
    const int layer = layerIndexOf(node);
    for (const auto& parentRef : node.Parents()) {
        const auto parent = parentRef.lock();
        if (parent && layer >= layerIndexOf(*parent) - 1)
            return true;
    }
    return false;
}

[[noreturn]] void raiseCannotLift()
{
    raiseError(err::InvalidProcedureCall, QStringLiteral("A node could not be lifted to the next layer."));
}

} // namespace

void clsNetwork::requireAcyclic() const
{
    if (LinkWalk::hasCycle(m_layers))
        raiseError(err::InvalidProcedureCall, QStringLiteral("The links of the network form a cycle."));
}

bool clsNetwork::liftOneLayer(const std::shared_ptr<Node>& node)
{
    const auto from = requireObject(node->Layer.lock());
    const qsizetype position = positionInLayer(*from, *node);
    const qint32 above = conv::add32(from->Index, 1);
    while (m_layers.Count() < above) {
        if (!AddLayer())
            return false;
    }
    const auto to = requireObject(m_layers.Item(above));
    node->Layer = to;
    to->Nodes().Add(node);
    from->Nodes().Remove(position);
    return true;
}

bool clsNetwork::MoveNodeUp(const std::shared_ptr<Node>& node)
{
    // A lifted node's targets that are no longer held follow it, and their targets in turn,
    // depth first in link order. Each lift is an operation of its own: a failing one ends
    // where it stands and the lift that made it go on. The lifts under way are kept on an
    // explicit stack, outermost first.
    struct Lift {
        std::shared_ptr<Node> node;
        std::vector<std::shared_ptr<Link>> links;
        std::size_t nextLink = 0;
    };
    std::vector<Lift> lifts;

    const auto beginLift = [&](const std::shared_ptr<Node>& lifted) {
        return trapped(kModule, "MoveNodeUp", false, [&] {
            setDirty(true);
            if (!liftOneLayer(requireObject(lifted)))
                return false;
            lifts.push_back({lifted, lifted->Links().Snapshot()});
            return true;
        });
    };

    if (!beginLift(node))
        return false;
    bool succeeded = true;
    while (!lifts.empty()) {
        const bool stepped = trappedVoid(kModule, "MoveNodeUp", [&] {
            Lift& lift = lifts.back();
            if (lift.nextLink == lift.links.size()) {
                lifts.pop_back();
                return;
            }
            const auto target = requireObject(requireObject(lift.links[lift.nextLink++])->ConnectionTo);
            if (!isHeld(*target) && layerIndexOf(*target) < layerIndexOf(*lift.node) - 1)
                beginLift(target); // its result is its own
        });
        if (!stepped) {
            if (lifts.size() == 1)
                succeeded = false;
            lifts.pop_back();
        }
    }
    return succeeded;
}

bool clsNetwork::MoveNodeDown(const std::shared_ptr<Node>& node)
{
    return trapped(kModule, "MoveNodeDown", false, [&] {
        const auto from = requireObject(requireObject(node)->Layer.lock());
        if (from->Index == 1)
            return false; // already in layer 1: nothing to move
        setDirty(true);
        const qsizetype position = positionInLayer(*from, *node);
        const auto first = requireObject(m_layers.Item(1));
        node->Layer = first;
        first->Nodes().AddBefore(1, node);
        from->Nodes().Remove(position);
        return true;
    });
}

// Structure and ReStructure work the rules on a compact copy of the layering (LayerLifting):
// the moves are those of MoveNodeUp and MoveNodeDown, in the same order, without the cost a
// move has on the network's own layers.

namespace {

// Lifts nodes while one of their own links leads to their layer or above. A break further down
// is mended when the walk reaches the node that holds that link (lifting a node above it
// cannot mend it when another parent holds the nodes in between). Lifts can only open breaks
// on links into the lifted node, which lie in layers the walk has yet to reach, so one walk
// normally suffices; walks repeat until one lifts nothing.
void mendLayering(LayerLifting& lifting, qsizetype nodeCount)
{
    for (qsizetype walk = 0; walk <= nodeCount; ++walk) {
        if (!lifting.mendingWalk())
            return;
    }
    raiseError(err::InvalidProcedureCall, QStringLiteral("The layering did not settle."));
}

} // namespace

bool clsNetwork::Structure()
{
    return trapped(kModule, "Structure", false, [&] {
        requireAcyclic();
        LayerLifting lifting(*this);
        mendLayering(lifting, lifting.nodeCount());
        if (!lifting.commit())
            raiseCannotLift();
        return true;
    });
}

void clsNetwork::removeEmptyLayers()
{
    for (qsizetype index = m_layers.Count(); index >= 1; --index) {
        if (requireObject(m_layers.Item(index))->Nodes().isEmpty())
            m_layers.Remove(index);
    }
    // The remaining layers are numbered by their place, wherever the empty ones stood.
    qint32 index = 0;
    for (const auto& layer : m_layers)
        layer->Index = ++index;
}

bool clsNetwork::ReStructure(bool bInvalidStart)
{
    return trapped(kModule, "ReStructure", false, [&] {
        requireAcyclic();
        {
            LayerLifting lifting(*this);
            lifting.collapseIntoFirstLayer();
            if (bInvalidStart) {
                // Every parent above each node it links to, layer by layer.
                lifting.walk([&](int node) {
                    for (const int parent : lifting.parentsOf(node)) {
                        while (lifting.layerOf(parent) <= lifting.layerOf(node))
                            lifting.lift(parent, lifting.layerOf(node) - lifting.layerOf(parent) + 1);
                    }
                });
            }
            mendLayering(lifting, lifting.nodeCount());
            if (!lifting.commit())
                raiseCannotLift();
        }
        removeEmptyLayers();
        {
            // Nodes without parents go to the top.
            LayerLifting lifting(*this);
            lifting.walk([&](int node) {
                if (!lifting.hasParents(node))
                    lifting.lift(node, lifting.layerCount() - lifting.layerOf(node));
            });
            if (!lifting.commit())
                raiseCannotLift();
        }
        if (const auto host = ParentDisplay.lock()) {
            host->UpdateButtons();
            sendNetworkUpdate();
        }
        return true;
    });
}

// --- Cycle and layering tests ---------------------------------------------------------------

bool clsNetwork::CheckLink(qint32 intLayerChecked, qint32 intIndexChecked, qint32 intLayerStart, qint32 intIndexStart)
{
    return trapped(kModule, "CheckLink", false, [&] {
        const auto start = requireObject(requireObject(m_layers.Item(intLayerStart))->Nodes().Item(intIndexStart));
        // Nodes are told apart by layer and place, as the diagram names them.
        const auto isChecked = [&](const Node&, const Node& evidence) {
            return !(layerIndexOf(evidence) == intLayerChecked && evidence.Index() == intIndexChecked);
        };
        return LinkWalk().from(*start, isChecked) == LinkWalk::Outcome::Completed;
    });
}

bool clsNetwork::CheckNode(const std::shared_ptr<Node>& node)
{
    return trapped(kModule, "CheckNode", false, [&] {
        const auto leadsDown = [](const Node& holder, const Node& evidence) {
            return layerIndexOf(evidence) < layerIndexOf(holder);
        };
        return LinkWalk().from(*requireObject(node), leadsDown) == LinkWalk::Outcome::Completed;
    });
}

} // namespace kelvane
