#include "network/ReadNodeSet.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/Conversions.h"
#include "platform/RuntimeError.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <numeric>

namespace kelvane {

namespace {

qint32 layerNumberOf(const Node& node)
{
    return std::max<qint32>(node.LayerIndex, 1);
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
    if (node->GUID.isEmpty() || m_byGUID.contains(node->GUID))
        node->GUID = basLibrary::NewGUIDString();
    m_byGUID.insert(node->GUID, count());
    // A link to a node read already holds that node's GUID text rather than a copy of its own:
    // a large document then keeps one copy of each GUID while it is read.
    for (const auto& link : node->Links()) {
        const auto target = m_byGUID.constFind(link->NodeGUIDRef);
        if (target != m_byGUID.constEnd())
            link->NodeGUIDRef = target.key();
    }
    m_nodes.push_back(std::move(node));
}

void ReadNodeSet::connectLinks(bool newGUIDs)
{
    QHash<QString, qsizetype> byOldGUID;
    if (newGUIDs) {
        for (qsizetype i = 0; i < count(); ++i) {
            const QString& old = m_nodes[i]->OldGUID;
            if (!old.isEmpty() && !byOldGUID.contains(old))
                byOldGUID.insert(old, i);
        }
    }

    for (const auto& holder : m_nodes) {
        auto& links = holder->Links();
        for (qsizetype position = 1; position <= links.Count(); ++position) {
            const auto& link = links.Item(position);
            const QString& reference = link->NodeGUIDRef;
            const qsizetype found = reference.isEmpty()
                ? -1
                : earlier(m_byGUID.value(reference, -1), newGUIDs ? byOldGUID.value(reference, -1) : -1);
            if (found < 0) {
                links.Remove(position--);
                continue;
            }
            const auto& target = m_nodes[found];
            link->NodeGUIDRef = target->GUID;
            link->ConnectionTo = target;
            link->ConnectionFrom = holder;
            target->Parents().Add(holder);
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

    network.cintCounter = 0;
    qint32 currentLayer = 0;
    for (const qsizetype index : order) {
        const auto& node = m_nodes[index];
        const qint32 layerNumber = layerNumberOf(*node);
        while (currentLayer < layerNumber) {
            ++currentLayer;
            if (network.Layers().Count() < currentLayer && !network.AddLayer())
                raiseError(err::ObjectNotSet, QStringLiteral("A layer could not be added."));
            platform::ui().yield();
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
