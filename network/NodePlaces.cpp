#include "network/NodePlaces.h"

#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"

#include <algorithm>
#include <limits>

namespace kelvane {

namespace {

// Numbers spread over at most this many times the layer's nodes (and a little) are kept in a
// table by number.
constexpr qint64 kTableSpread = 4;

} // namespace

NodePlaces::Places::Places(const Layer& layer)
{
    const auto& nodes = layer.Nodes();
    qint64 lowest = std::numeric_limits<qint64>::max();
    qint64 highest = std::numeric_limits<qint64>::min();
    for (const auto& held : nodes) {
        if (held) {
            lowest = std::min<qint64>(lowest, held->NodeNumber);
            highest = std::max<qint64>(highest, held->NodeNumber);
        }
    }
    const bool table = lowest <= highest && highest - lowest < kTableSpread * nodes.Count() + 64;
    if (table) {
        m_lowest = qint32(lowest);
        m_byNumber.assign(std::size_t(highest - lowest + 1), 0);
    }
    qint32 place = 0;
    for (const auto& held : nodes) {
        ++place;
        if (!held)
            continue;
        if (table) {
            qint32& first = m_byNumber[std::size_t(qint64(held->NodeNumber) - lowest)];
            if (first == 0)
                first = place;
        } else if (!m_scattered.contains(held->NodeNumber)) {
            m_scattered.insert(held->NodeNumber, place);
        }
    }
}

qint32 NodePlaces::Places::of(qint32 number) const
{
    if (m_byNumber.empty())
        return m_scattered.value(number, 0);
    const qint64 at = qint64(number) - m_lowest;
    return at >= 0 && at < qint64(m_byNumber.size()) ? m_byNumber[std::size_t(at)] : 0;
}

qint32 NodePlaces::of(const Node& node)
{
    return placesIn(node).of(node.NodeNumber);
}

const NodePlaces::Places& NodePlaces::placesIn(const Node& node)
{
    // A layer found once lives on for the pass: its nodes are known by the layer they name alone.
    if (const auto known = m_byLayer.find(node.Layer); known != m_byLayer.end())
        return known->second;
    const auto layer = requireObject(node.Layer.lock());
    return m_byLayer.try_emplace(node.Layer, *layer).first->second;
}

} // namespace kelvane
