#include "model/Layer.h"

#include "model/AbstractKnowledgeBase.h"
#include "model/AbstractNetwork.h"
#include "model/ErrorTrap.h"
#include "model/Node.h"
#include "model/RequireObject.h"

namespace kelvane {

Layer::~Layer()
{
    for (const auto& node : m_nodes) {
        if (node) {
            node->Links().Clear();
            node->LowerLevelNode.reset();
        }
    }
}

std::shared_ptr<AbstractNetwork> Layer::OwningNetwork() const
{
    if (auto network = Network.lock())
        return network;
    if (auto knowledgeBase = KnowledgeBase.lock()) {
        if (auto network = knowledgeBase->Network())
            return network;
    }
    raiseError(err::ObjectNotSet);
}

void Layer::AddNode()
{
    trappedVoid("Layer", "AddNode", [&] { OwningNetwork()->AddNode(Index); });
}

std::shared_ptr<Layer> Layer::Clone(bool bNewGuids)
{
    auto copy = std::make_shared<Layer>();
    for (const auto& node : m_nodes) {
        auto nodeCopy = requireObject(node)->Clone(bNewGuids);
        nodeCopy->Layer = copy;
        copy->Nodes().Add(std::move(nodeCopy));
    }
    copy->Index = Index;
    return copy;
}

} // namespace kelvane
