#include "network/NetworkRecompute.h"

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
    for (const auto& node : layers.Item(1)->Nodes().Snapshot())
        basKelva::UpdateDOTParents(node);
    for (const auto& node : layers.Item(layers.Count())->Nodes().Snapshot())
        basKelva::UpdateDOTChildren(node);
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
    for (const auto& network : networks) {
        if (!network)
            continue;
        for (const auto& layer : network->Layers())
            for (const auto& node : layer->Nodes().Snapshot())
                node->Reset();
    }
}

} // namespace kelvane
