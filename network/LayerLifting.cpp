#include "network/LayerLifting.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "network/clsNetwork.h"

#include <QSet>

#include <algorithm>

namespace kelvane {

LayerLifting::LayerLifting(clsNetwork& network) : m_network(network)
{
    QHash<const Node*, int> numbers;
    m_layerCount = static_cast<int>(network.Layers().Count());
    m_queues.resize(std::size_t(m_layerCount) + 1);
    for (int layer = 1; layer <= m_layerCount; ++layer) {
        for (const auto& node : requireObject(network.Layers().Item(layer))->Nodes()) {
            const int number = static_cast<int>(m_nodes.size());
            numbers.insert(requireObject(node).get(), number);
            m_nodes.push_back(node);
            m_layer.push_back(layer);
            m_place.push_back(m_queues[std::size_t(layer)].size());
            m_queues[std::size_t(layer)].push_back(number);
        }
    }
    m_targets.resize(m_nodes.size());
    m_parents.resize(m_nodes.size());
    m_outsideParents.resize(m_nodes.size());
    for (std::size_t number = 0; number < m_nodes.size(); ++number) {
        const Node& node = *m_nodes[number];
        for (const auto& link : node.Links()) {
            const auto& evidence = requireObject(requireObject(link)->ConnectionTo);
            const auto found = numbers.constFind(evidence.get());
            if (found == numbers.cend()) {
                requireObject(evidence->Layer.lock()); // a node outside any layer, as the rules would meet it
                raiseError(err::InvalidProcedureCall, QStringLiteral("A link leads out of the network."));
            }
            m_targets[number].push_back(*found);
        }
        for (const auto& reference : node.Parents()) {
            const auto parent = reference.lock();
            if (!parent)
                continue;
            const auto found = numbers.constFind(parent.get());
            if (found != numbers.cend())
                m_parents[number].push_back(*found);
            else
                m_outsideParents[number].push_back(requireObject(parent->Layer.lock())->Index);
        }
    }
}

bool LayerLifting::hasParents(int node) const
{
    return !m_parents[std::size_t(node)].empty() || !m_outsideParents[std::size_t(node)].empty();
}

void LayerLifting::moveTo(int node, int layer)
{
    const auto n = std::size_t(node);
    m_layerCount = std::max(m_layerCount, layer);
    if (m_queues.size() <= std::size_t(layer))
        m_queues.resize(std::size_t(layer) + 1);
    m_layer[n] = layer;
    m_place[n] = m_queues[std::size_t(layer)].size();
    m_queues[std::size_t(layer)].push_back(node);
    m_moved = true;
}

void LayerLifting::collapseIntoFirstLayer()
{
    if (m_layerCount == 0)
        return;
    std::vector<int> first;
    for (int layer = m_layerCount; layer >= 2; --layer) {
        for (std::size_t place = 0; place < m_queues[std::size_t(layer)].size(); ++place) {
            const int node = m_queues[std::size_t(layer)][place];
            if (m_layer[std::size_t(node)] == layer && m_place[std::size_t(node)] == place)
                first.push_back(node);
        }
        m_queues[std::size_t(layer)].clear();
    }
    if (!first.empty())
        m_moved = true;
    for (std::size_t place = 0; place < m_queues[1].size(); ++place) {
        const int node = m_queues[1][place];
        if (m_layer[std::size_t(node)] == 1 && m_place[std::size_t(node)] == place)
            first.push_back(node);
    }
    m_queues[1] = std::move(first);
    for (std::size_t place = 0; place < m_queues[1].size(); ++place) {
        m_layer[std::size_t(m_queues[1][place])] = 1;
        m_place[std::size_t(m_queues[1][place])] = place;
    }
}

int LayerLifting::liftsNeeded(int node) const
{
    int highest = 0;
    for (const int target : m_targets[std::size_t(node)])
        highest = std::max(highest, m_layer[std::size_t(target)]);
    return std::max(0, highest + 1 - m_layer[std::size_t(node)]);
}

// A node is held in place when one of its parents, other than `apartFrom`, stands at most one
// layer above it.
bool LayerLifting::heldByOthers(int node, int apartFrom) const
{
    const int layer = m_layer[std::size_t(node)];
    for (const int parent : m_parents[std::size_t(node)]) {
        if (parent != apartFrom && layer >= m_layer[std::size_t(parent)] - 1)
            return true;
    }
    for (const int parentLayer : m_outsideParents[std::size_t(node)]) {
        if (layer >= parentLayer - 1)
            return true;
    }
    return false;
}

bool LayerLifting::held(int node) const
{
    return heldByOthers(node, -1);
}

void LayerLifting::liftOnce(int node)
{
    // MoveNodeUp: one layer up, then each target in link order that no parent holds and that
    // lies below the layer just left follows, and its own targets in turn.
    struct Step {
        int node;
        std::size_t nextTarget;
    };
    std::vector<Step> steps;
    moveTo(node, m_layer[std::size_t(node)] + 1);
    steps.push_back({node, 0});
    while (!steps.empty()) {
        Step& step = steps.back();
        const auto& targets = m_targets[std::size_t(step.node)];
        if (step.nextTarget == targets.size()) {
            steps.pop_back();
            continue;
        }
        const int target = targets[step.nextTarget++];
        if (!held(target) && m_layer[std::size_t(target)] < m_layer[std::size_t(step.node)] - 1) {
            moveTo(target, m_layer[std::size_t(target)] + 1);
            steps.push_back({target, 0}); // invalidates `step`
        }
    }
}

int LayerLifting::firstLiftTakingAlong(int node, int times) const
{
    // While only this node moves, whether another parent holds a target does not change, and
    // the node itself holds none it would take along: a target no other parent holds follows
    // at the first lift that leaves it more than one layer below.
    const int from = m_layer[std::size_t(node)];
    int first = 0;
    for (const int target : m_targets[std::size_t(node)]) {
        if (heldByOthers(target, node))
            continue;
        const int lift = std::max(1, m_layer[std::size_t(target)] - from + 2);
        if (lift <= times && (first == 0 || lift < first))
            first = lift;
    }
    return first;
}

void LayerLifting::lift(int node, int times)
{
    while (times > 0) {
        const int taking = firstLiftTakingAlong(node, times);
        if (taking == 0) {
            moveTo(node, m_layer[std::size_t(node)] + times);
            return;
        }
        if (taking > 1)
            moveTo(node, m_layer[std::size_t(node)] + taking - 1);
        liftOnce(node);
        times -= taking;
    }
}

bool LayerLifting::commit()
{
    while (m_network.Layers().Count() < m_layerCount) {
        if (!m_network.AddLayer())
            return false;
    }
    if (m_moved)
        m_network.setDirty(true);
    for (int layer = 1; layer <= m_layerCount; ++layer) {
        const auto target = requireObject(m_network.Layers().Item(layer));
        auto& nodes = target->Nodes();
        nodes.Clear();
        const auto& queue = m_queues[std::size_t(layer)];
        for (std::size_t place = 0; place < queue.size(); ++place) {
            const int node = queue[place];
            if (m_layer[std::size_t(node)] != layer || m_place[std::size_t(node)] != place)
                continue;
            m_nodes[std::size_t(node)]->Layer = target;
            nodes.Add(m_nodes[std::size_t(node)]);
        }
    }
    return true;
}


// The nodes rising together: each stands in the layer the walk is at and rises by one when the
// walk passes; none is visited or moved one by one until it stops.
struct LayerLifting::Riders {
    std::vector<int> order;             // in their order in the layer, as they rose (some may have stopped)
    std::size_t count = 0;              // of those still riding
    QHash<int, std::size_t> rank;       // place in `order`
    std::vector<bool> riding;           // by node
    std::vector<int> risingTargets;     // by node: link entries to riders
    std::vector<int> stopping;          // riders with no rising target: they stop at the next layer
    std::vector<int> exposed;           // nodes one layer below the walk that riders may leave unheld
    bool active = false;
};

bool LayerLifting::visitLayer(int layer, std::vector<int>& risen, bool& lifted)
{
    bool uniform = true;
    // The queue grows while the walk visits it.
    for (std::size_t place = 0; place < m_queues[std::size_t(layer)].size(); ++place) {
        const int node = m_queues[std::size_t(layer)][place];
        if (m_layer[std::size_t(node)] != layer || m_place[std::size_t(node)] != place)
            continue;
        const int lifts = liftsNeeded(node);
        if (lifts == 0)
            continue;
        lifted = true;
        if (lifts == 1 && firstLiftTakingAlong(node, 1) == 0) {
            moveTo(node, layer + 1);
            risen.push_back(node);
            continue;
        }
        uniform = false;
        for (int more = lifts; more > 0; more = liftsNeeded(node))
            lift(node, more);
    }
    return uniform;
}

bool LayerLifting::startRiding(Riders& riders, int layer, const std::vector<int>& risen) const
{
    if (risen.empty())
        return false;
    // The layer must hold the risen nodes alone, in the order they rose.
    std::size_t held = 0;
    for (std::size_t place = 0; place < m_queues[std::size_t(layer)].size(); ++place) {
        const int node = m_queues[std::size_t(layer)][place];
        if (m_layer[std::size_t(node)] == layer && m_place[std::size_t(node)] == place)
            ++held;
    }
    if (held != risen.size())
        return false;
    riders.order = risen;
    riders.count = risen.size();
    riders.rank.clear();
    riders.riding.assign(m_nodes.size(), false);
    riders.risingTargets.assign(m_nodes.size(), 0);
    riders.stopping.clear();
    riders.exposed.clear();
    for (std::size_t i = 0; i < risen.size(); ++i) {
        riders.rank.insert(risen[i], i);
        riders.riding[std::size_t(risen[i])] = true;
    }
    QSet<int> exposed;
    for (const int node : risen) {
        for (const int target : m_targets[std::size_t(node)]) {
            if (riders.riding[std::size_t(target)]) {
                // A target that rises must come later in the layer: one met first would have
                // risen already when the node's turn came.
                if (riders.rank.value(target) <= riders.rank.value(node))
                    return false;
                ++riders.risingTargets[std::size_t(node)];
                continue;
            }
            const int below = m_layer[std::size_t(target)];
            if (below >= layer)
                return false;
            // A target further down must be held by a node that does not rise; one just below
            // is watched as the riders leave it.
            if (below == layer - 1)
                exposed.insert(target);
            else if (!heldByOthers(target, -1))
                return false;
        }
    }
    for (const int node : risen) {
        if (riders.risingTargets[std::size_t(node)] == 0)
            riders.stopping.push_back(node);
    }
    riders.exposed.assign(exposed.cbegin(), exposed.cend());
    riders.active = true;
    return true;
}

bool LayerLifting::rideThrough(Riders& riders, int layer)
{
    // The riders that stop here stay in this layer, in their order; the others rise.
    auto stopping = std::move(riders.stopping);
    riders.stopping.clear();
    std::sort(stopping.begin(), stopping.end(),
              [&](int a, int b) { return riders.rank.value(a) < riders.rank.value(b); });
    const auto stops = [&](int node) { return std::binary_search(stopping.begin(), stopping.end(), node,
                                                                 [&](int a, int b) { return riders.rank.value(a) < riders.rank.value(b); }); };
    // A node just below that riders leave must still be held, by a node that stops here or
    // one that stays where it is; else the riders would take it along.
    for (const int node : riders.exposed) {
        bool risingParent = false;
        bool holder = false;
        for (const int parent : m_parents[std::size_t(node)]) {
            if (riders.riding[std::size_t(parent)] && !stops(parent))
                risingParent = true;
            else if (riders.riding[std::size_t(parent)] || m_layer[std::size_t(parent)] <= layer)
                holder = true;
        }
        for (const int parentLayer : m_outsideParents[std::size_t(node)])
            holder = holder || parentLayer <= layer;
        if (risingParent && !holder) {
            riders.stopping = std::move(stopping);
            return false;
        }
    }
    riders.exposed.clear();
    for (const int node : stopping) {
        riders.riding[std::size_t(node)] = false;
        moveTo(node, layer);
        for (const int parent : m_parents[std::size_t(node)]) {
            if (riders.riding[std::size_t(parent)] && --riders.risingTargets[std::size_t(parent)] == 0)
                riders.stopping.push_back(parent);
        }
        for (const int parent : m_parents[std::size_t(node)]) {
            if (riders.riding[std::size_t(parent)]) {
                riders.exposed.push_back(node);
                break;
            }
        }
    }
    riders.count -= stopping.size();
    if (riders.count == 0) {
        riders.active = false;
        return true;
    }
    m_layerCount = std::max(m_layerCount, layer + 1);
    m_moved = true;
    return true;
}

void LayerLifting::stopRiding(Riders& riders, int layer)
{
    // The riders take their places in the layer the walk is at, in their order.
    for (const int node : riders.order) {
        if (riders.riding[std::size_t(node)])
            moveTo(node, layer);
    }
    riders.active = false;
}

bool LayerLifting::mendingWalk()
{
    bool lifted = false;
    Riders riders;
    for (int layer = 1; layer <= m_layerCount; ++layer) {
        if (riders.active) {
            if (rideThrough(riders, layer)) {
                lifted = true;
                continue;
            }
            stopRiding(riders, layer);
        }
        std::vector<int> risen;
        if (visitLayer(layer, risen, lifted))
            startRiding(riders, layer + 1, risen);
    }
    return lifted;
}

} // namespace kelvane
