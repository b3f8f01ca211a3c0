#include "network/ReadNodeSet.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/Conversions.h"
#include "platform/ParallelRanges.h"
#include "platform/RuntimeError.h"
#include "platform/UiServices.h"

#include <QHash>
#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace kelvane {

namespace {

qint32 layerNumberOf(const Node& node)
{
    return std::max<qint32>(node.LayerIndex, 1);
}

constexpr std::size_t kHoldersPerRange = 256;
// Giving parents goes over every link once per range of targets: the ranges are few, a couple
// for each processor.
constexpr std::size_t kFewestTargetsPerRange = 1024;

// The layer of each node, given the layer numbers read in ascending order: its own number while
// the numbers fit into as many layers as nodes were read (empty layers between them kept);
// beyond that, each number takes the lowest layer that still leaves one for every higher number.
// The order of the layers is kept, and there are never more layers than nodes.
std::vector<qint32> layersWithinNodeCount(const std::vector<qint32>& ascendingNumbers)
{
    const std::size_t count = ascendingNumbers.size();
    const auto isNewNumber = [&](std::size_t i) { return i == 0 || ascendingNumbers[i] != ascendingNumbers[i - 1]; };
    qint64 distinct = 0;
    for (std::size_t i = 0; i < count; ++i)
        distinct += isNewNumber(i) ? 1 : 0;
    std::vector<qint32> layers(count);
    qint64 rank = 0; // of the number among the distinct ones, from 1
    for (std::size_t i = 0; i < count; ++i) {
        rank += isNewNumber(i) ? 1 : 0;
        layers[i] = qint32(std::min<qint64>(ascendingNumbers[i], qint64(count) - distinct + rank));
    }
    return layers;
}

// The earlier of two reading positions, where -1 means none.
qsizetype earlier(qsizetype a, qsizetype b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

} // namespace

ReadNodeSet::~ReadNodeSet()
{
    for (const auto& node : m_nodes) {
        if (node->Layer.expired())
            node->Links().Clear();
    }
}

void ReadNodeSet::add(std::shared_ptr<Node> node)
{
    makeRoom(1);
    const std::size_t position = m_nodes.size();
    m_nodes.push_back(std::move(node));
    QString& guid = m_nodes.back()->GUID;
    if (guid.isEmpty() || !m_byGUID.enter(position)) {
        guid = basLibrary::NewGUIDString();
        m_byGUID.enter(position);
    }
}

void ReadNodeSet::makeRoom(qsizetype more)
{
    const std::size_t needed = m_nodes.size() + std::size_t(std::max<qsizetype>(more, 0));
    if (needed <= m_room)
        return;
    m_room = std::max(needed, 2 * m_room);
    m_nodes.reserve(m_room);
    m_byGUID.makeRoom(m_room);
}

void ReadNodeSet::shareReferencesToNodesRead(Node& node) const
{
    // Only the text is shared: which node a reference names is still decided when the links
    // are connected.
    for (const auto& link : std::as_const(node).Links()) {
        const qsizetype found = m_byGUID.find(link->NodeGUIDRef);
        if (found >= 0)
            link->NodeGUIDRef = m_nodes.data()[found]->GUID;
    }
}

void ReadNodeSet::connectLinks(bool newGUIDs, platform::RangeWorkers& workers)
{
    QHash<QString, qsizetype> byOldGUID;
    if (newGUIDs) {
        for (qsizetype i = 0; i < count(); ++i) {
            const QString& old = m_nodes[i]->OldGUID;
            if (!old.isEmpty() && !byOldGUID.contains(old))
                byOldGUID.insert(old, i);
        }
    }

    // Each holder's links are looked up and joined to their targets side by side (the tables and
    // the targets' GUIDs are only read meanwhile; a link whose target was not read leaves its own
    // holder's list), then each range of targets is given its parents, in reading order.
    std::vector<std::size_t> firstLink(m_nodes.size() + 1, 0);
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
        firstLink[i + 1] = firstLink[i] + std::size_t(m_nodes[i]->Links().Count());
    std::vector<qsizetype> targets(firstLink.back());
    const auto targetOf = [&](const QString& reference) {
        if (reference.isEmpty())
            return qsizetype(-1);
        return earlier(m_byGUID.find(reference),
                       newGUIDs ? std::as_const(byOldGUID).value(reference, -1) : -1);
    };
    workers.start(m_nodes.size(), kHoldersPerRange, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            joinLinks(i, targetOf, targets.data() + firstLink[i]);
    });
    workers.wait();
    const std::size_t targetsPerRange =
        std::max(kFewestTargetsPerRange, m_nodes.size() / (2 * platform::processorCount()) + 1);
    workers.start(m_nodes.size(), targetsPerRange, [&](std::size_t begin, std::size_t end) {
        giveParents(begin, end, firstLink, targets);
    });
    workers.wait();
}

template <class TargetOf>
void ReadNodeSet::joinLinks(std::size_t holderAt, const TargetOf& targetOf, qsizetype* targets) const
{
    const auto& holder = m_nodes[holderAt];
    auto& links = holder->Links();
    for (qsizetype position = 1; position <= links.Count(); ++position) {
        const qsizetype found = targetOf(links.Item(position)->NodeGUIDRef);
        *targets++ = found;
        if (found < 0) {
            links.Remove(position--);
            continue;
        }
        const auto& link = links.Item(position);
        const auto& target = m_nodes[std::size_t(found)];
        // The link holds its target's GUID text rather than a copy of its own: a large
        // document keeps one copy of each GUID.
        link->NodeGUIDRef = target->GUID;
        link->ConnectionTo = target;
        link->ConnectionFrom = holder;
    }
}

void ReadNodeSet::giveParents(std::size_t begin, std::size_t end, const std::vector<std::size_t>& firstLink,
                              const std::vector<qsizetype>& targets) const
{
    const auto inRange = [&](qsizetype found) { return found >= qsizetype(begin) && found < qsizetype(end); };
    // Each target's parents are given room for all of them at once.
    std::vector<qsizetype> parentCount(end - begin, 0);
    for (const qsizetype found : targets) {
        if (inRange(found))
            ++parentCount[std::size_t(found) - begin];
    }
    for (std::size_t i = begin; i < end; ++i) {
        if (const qsizetype count = parentCount[i - begin]; count > 0)
            m_nodes[i]->Parents().Reserve(m_nodes[i]->Parents().Count() + count);
    }
    for (std::size_t holder = 0; holder < m_nodes.size(); ++holder) {
        for (std::size_t at = firstLink[holder]; at < firstLink[holder + 1]; ++at) {
            if (inRange(targets[at]))
                m_nodes[std::size_t(targets[at])]->Parents().Add(m_nodes[holder]);
        }
    }
}

void ReadNodeSet::placeInto(clsNetwork& network)
{
    std::vector<qsizetype> order(m_nodes.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](qsizetype a, qsizetype b) {
        const Node& x = *m_nodes[a];
        const Node& y = *m_nodes[b];
        if (layerNumberOf(x) != layerNumberOf(y))
            return layerNumberOf(x) < layerNumberOf(y);
        return x.NodeIndex < y.NodeIndex;
    });

    std::vector<qint32> numbers(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        numbers[i] = layerNumberOf(*m_nodes[order[i]]);
    const std::vector<qint32> layers = layersWithinNodeCount(numbers);

    network.cintCounter = 0;
    qint32 currentLayer = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const auto& node = m_nodes[order[i]];
        const qint32 layerNumber = layers[i];
        if (currentLayer < layerNumber) {
            while (currentLayer < layerNumber) {
                ++currentLayer;
                if (network.Layers().Count() < currentLayer && !network.AddLayer())
                    raiseError(err::ObjectNotSet, QStringLiteral("A layer could not be added."));
                platform::ui().yield();
            }
            // The layer is given room for all of its nodes at once.
            std::size_t layerEnd = i;
            while (layerEnd < order.size() && layers[layerEnd] == layerNumber)
                ++layerEnd;
            auto& nodes = network.Layers().Item(layerNumber)->Nodes();
            nodes.Reserve(nodes.Count() + qsizetype(layerEnd - i));
        }
        const auto& layer = network.Layers().Item(layerNumber);
        network.cintCounter = conv::add32(network.cintCounter, 1);
        node->NodeNumber = network.cintCounter;
        node->FileName = network.FileName();
        node->Layer = layer;
        node->Network = network.weak_from_this();
        layer->Nodes().Add(node);
    }
}

} // namespace kelvane
