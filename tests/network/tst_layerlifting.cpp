// The layer structure rules against their literal form, every move made on the network
// itself, on random networks: both must lay the nodes out alike, in the same order.
#include "NetworkBuilder.h"

#include "network/NetworkSupport.h"

#include <random>
#include <unordered_set>

using namespace kelvane;
using namespace kelvane::test;
using networksupport::layerIndexOf;

namespace {

// The rules as first written: the walk over the layers, and the moves of MoveNodeUp and
// MoveNodeDown, one layer at a time.
namespace literal {

template <class Visit>
void walkLayers(Collection<std::shared_ptr<Layer>>& layers, Visit&& visit)
{
    for (qsizetype index = 1; index <= layers.Count(); ++index) {
        const std::shared_ptr<Layer> layer = layers.Item(index);
        std::unordered_set<const Node*> visited;
        for (bool visitedAny = true; visitedAny;) {
            visitedAny = false;
            for (const auto& node : layer->Nodes().Snapshot()) {
                if (visited.contains(node.get()) || node->Layer.lock() != layer)
                    continue;
                visited.insert(node.get());
                visitedAny = true;
                visit(node);
            }
        }
    }
}

bool breaksLayering(const Node& node)
{
    for (const auto& link : node.Links()) {
        if (layerIndexOf(*link->ConnectionTo) >= layerIndexOf(node))
            return true;
    }
    return false;
}

void structure(clsNetwork& network)
{
    for (bool lifted = true; lifted;) {
        lifted = false;
        walkLayers(network.Layers(), [&](const std::shared_ptr<Node>& node) {
            while (breaksLayering(*node)) {
                ASSERT_TRUE(network.MoveNodeUp(node));
                lifted = true;
            }
        });
    }
}

void restructure(clsNetwork& network, bool invalidStart)
{
    auto& layers = network.Layers();
    for (qsizetype index = 1, count = layers.Count(); index <= count; ++index) {
        const auto layer = layers.Item(index);
        for (qsizetype position = layer->Nodes().Count(); position >= 1; --position) {
            const auto node = layer->Nodes().Item(position);
            if (layerIndexOf(*node) != 1)
                network.MoveNodeDown(node);
        }
    }
    if (invalidStart) {
        walkLayers(layers, [&](const std::shared_ptr<Node>& node) {
            for (const auto& reference : node->Parents().Snapshot()) {
                while (layerIndexOf(*reference.lock()) <= layerIndexOf(*node))
                    network.MoveNodeUp(reference.lock());
            }
        });
    }
    structure(network);
    for (qsizetype index = layers.Count(); index >= 1; --index) {
        if (layers.Item(index)->Nodes().isEmpty())
            layers.Remove(index);
    }
    qint32 number = 0;
    for (const auto& layer : layers)
        layer->Index = ++number;
    walkLayers(layers, [&](const std::shared_ptr<Node>& node) {
        while (node->Parents().isEmpty() && layerIndexOf(*node) < layers.Count())
            network.MoveNodeUp(node);
    });
}

} // namespace literal

// A network drawn from a seed: nodes in random layers and order, each linking to a few of the
// nodes made before it (so the links form no cycle, whatever the layers), now and then twice.
NetworkBuilder randomNetwork(unsigned seed)
{
    std::mt19937 random(seed);
    const auto below = [&](int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random); };
    NetworkBuilder net;
    const int layers = 1 + below(5);
    const int count = 2 + below(24);
    std::vector<std::shared_ptr<Node>> nodes;
    for (int i = 0; i < count; ++i) {
        const auto node = net.node(static_cast<qint16>(1 + below(layers)), "N" + std::to_string(i));
        for (int k = below(4); k > 0 && i > 0; --k) {
            const auto& evidence = nodes[std::size_t(below(i))];
            net.network->AddLink(node, evidence);
            if (below(8) == 0)
                net.network->AddLink(node, evidence);
        }
        nodes.push_back(node);
    }
    return net;
}

} // namespace

TEST(LayerLifting, LaysNodesOutAsTheRulesDoMoveByMove)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        for (int rule = 0; rule < 3; ++rule) {
            auto expected = randomNetwork(seed);
            auto actual = randomNetwork(seed);
            if (rule == 0) {
                literal::structure(*expected.network);
                ASSERT_TRUE(actual.network->Structure());
            } else {
                literal::restructure(*expected.network, rule == 2);
                ASSERT_TRUE(actual.network->ReStructure(rule == 2));
            }
            ASSERT_EQ(layerNames(*actual.network), layerNames(*expected.network)) << "seed " << seed << " rule " << rule;
            ASSERT_EQ(layerIndexes(*actual.network), layerIndexes(*expected.network)) << "seed " << seed << " rule " << rule;
        }
    }
}
