#include "network/NetworkRecompute.h"

#include "model/AnswerReset.h"
#include "model/Layer.h"
#include "model/Node.h"
#include "model/basKelva.h"
#include "network/clsNetwork.h"

namespace kelvane {

void RecomputeDegreesOfTruth(clsNetwork& network)
{
    auto& layers = network.Layers();
    if (layers.isEmpty())
        return;
    // Each walk takes the layer's nodes as it comes to them, from the layer held: handlers run
    // while the first walk yields may remove layers from the network, or all of them.
    const auto first = layers.Item(1);
    basKelva::UpdateDOTParents(first->Nodes());
    if (layers.isEmpty())
        return;
    // One walk from all of them: in a network laid out badly (a long chain in one layer) the
    // nodes of the last layer reach one another, and a walk from each would be as long as
    // the chain.
    const auto last = layers.Item(layers.Count());
    basKelva::UpdateDOTChildren(last->Nodes());
}

void RecomputeDegreesOfTruth(const Collection<std::shared_ptr<clsNetwork>>& networks)
{
    for (const auto& network : networks) {
        if (network)
            RecomputeDegreesOfTruth(*network);
    }
}

void ResetAnswers(const Collection<std::shared_ptr<clsNetwork>>& networks)
{
    std::vector<std::shared_ptr<Node>> nodes;
    for (const auto& network : networks) {
        if (!network)
            continue;
        for (const auto& layer : network->Layers())
            for (const auto& node : layer->Nodes())
                nodes.push_back(node);
    }
    // Together where the nodes allow it: the same answers, links and contradictions as
    // resetting them one by one, without going over a shared parent once for each of its nodes.
    if (AnswerReset::resetAll(nodes))
        return;
    for (const auto& node : nodes)
        node->Reset();
}

} // namespace kelvane
