#include "model/doubles/TestNetwork.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/basLibrary.h"

namespace kelvane::doubles {

TestNetwork::TestNetwork() : guid(basLibrary::NewGUIDString()) {}

std::shared_ptr<TestNetwork> TestNetwork::create()
{
    return std::shared_ptr<TestNetwork>(new TestNetwork());
}

bool TestNetwork::AddNode(qint32 intLayer)
{
    ++addNodeCalls;
    while (layers.Count() < intLayer) {
        auto layer = std::make_shared<Layer>();
        layer->Index = static_cast<qint32>(layers.Count() + 1);
        layer->Network = weak_from_this();
        layers.Add(std::move(layer));
    }
    const auto& layer = layers.Item(intLayer);
    auto node = std::make_shared<Node>();
    node->Layer = layer;
    node->NodeNumber = ++counter;
    node->Network = weak_from_this();
    layer->Nodes().Add(node);
    node->NodeIndex = static_cast<qint32>(layer->Nodes().Count());
    node->LayerIndex = intLayer;
    return true;
}

bool TestNetwork::AddLink(const std::shared_ptr<Node>& objNodeFrom, const std::shared_ptr<Node>& objNodeTo)
{
    ++addLinkCalls;
    auto newLink = std::make_shared<Link>();
    newLink->ConnectionTo = objNodeTo;
    newLink->ConnectionFrom = objNodeFrom;
    objNodeTo->Parents().Add(objNodeFrom);
    objNodeFrom->Links().Add(newLink);
    return true;
}

std::shared_ptr<Node> TestNetwork::addNode(qint32 layer)
{
    AddNode(layer);
    const auto& nodes = layers.Item(layer)->Nodes();
    return nodes.Item(nodes.Count());
}

std::shared_ptr<Link> TestNetwork::link(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to)
{
    AddLink(from, to);
    return from->Links().Item(from->Links().Count());
}

std::shared_ptr<Node> TestNetwork::node(qint32 layer, qint32 position)
{
    return layers.Item(layer)->Nodes().Item(position);
}

} // namespace kelvane::doubles
