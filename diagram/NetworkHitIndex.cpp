#include "diagram/NetworkHitIndex.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "network/NodePlaces.h"
#include "network/clsNetwork.h"
#include "platform/Conversions.h"
#include "platform/RuntimeError.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

constexpr double kLinkBoxMargin = 30.0;
// No shape of a node reaches half a cell side from its centre (a circle a quarter, a handle
// about 0.42 of a row below or above it), but for a unit of rounding.
constexpr double kNodeReach = 0.5;
constexpr double kRounding = 2.0;
// Strips are at least a column wide; a surface is cut into no more than this many.
constexpr double kMostStrips = 4096;

} // namespace

drawing::RimLine linkHitLine(const GridCell& holder, qint32 holderLayer, const GridCell& evidence, qint32 evidenceLayer)
{
    const double dx = double(evidenceLayer - holderLayer) * holder.columnWidth;
    const double dy = conv::toInt32(evidence.centre.y() - holder.centre.y());
    return drawing::rimLine(holder.centre, std::floor(holder.radius()), evidence.centre, std::floor(evidence.radius()), dx,
                            dy, [](double value) { return double(float(value)); });
}

bool linkBoxHolds(const drawing::RimLine& line, float X, float Y)
{
    const double left = std::min(line.from.x(), line.to.x()) - kLinkBoxMargin;
    const double right = std::max(line.from.x(), line.to.x()) + kLinkBoxMargin;
    const double top = std::min(line.from.y(), line.to.y()) - kLinkBoxMargin;
    const double bottom = std::max(line.from.y(), line.to.y()) + kLinkBoxMargin;
    return !(X < left || X > right || Y < top || Y > bottom);
}

std::shared_ptr<const NetworkHitIndex> NetworkHitIndex::layOut(clsNetwork& network, double scaleWidth, double scaleHeight)
{
    std::shared_ptr<NetworkHitIndex> index(new NetworkHitIndex);
    index->m_network = &network;
    index->m_networkAlive = network.weak_from_this();
    index->m_scaleWidth = scaleWidth;
    index->m_scaleHeight = scaleHeight;
    if (network.Layers().Count() == 0)
        return index;
    try {
        const NetworkGrid& grid = index->m_grid.emplace(scaleWidth, scaleHeight, network.Layers().Count());
        NodePlaces places;
        index->layOutNodes(network, grid, places);
        if (index->m_complete)
            index->layOutLinks(grid, places);
        index->m_nodeLayers.clear();
        index->m_nodeLayers.shrink_to_fit();
    } catch (const RuntimeError&) {
        index->m_complete = false;
    }
    if (!index->m_complete) {
        // Only what describes() compares is kept.
        index->m_nodes.clear();
        index->m_places.clear();
        index->m_rows.clear();
        index->m_links.clear();
        return index;
    }
    index->sortIntoStrips();
    return index;
}

void NetworkHitIndex::layOutNodes(clsNetwork& network, const NetworkGrid& grid, NodePlaces& places)
{
    std::size_t nodes = 0;
    for (const auto& layer : network.Layers())
        nodes += layer ? std::size_t(layer->Nodes().Count()) : 0;
    m_nodes.reserve(nodes);
    m_places.reserve(nodes);
    m_nodeLayers.reserve(nodes);
    m_rows.reserve(nodes);
    std::size_t links = 0;
    for (const auto& layer : network.Layers()) {
        if (!layer) {
            m_complete = false;
            return;
        }
        LayerPlaces entry {layer, layer->Index, layer->Nodes().Count(), 0, m_nodes.size()};
        if (entry.nodeCount > 0)
            entry.rowHeight = grid.rowHeight(entry.nodeCount);
        qint32 position = 0;
        for (const auto& node : layer->Nodes()) {
            ++position;
            if (!node || node->Layer.lock() != layer) {
                m_complete = false;
                return;
            }
            const qint32 place = places.of(*node);
            m_nodes.push_back(node);
            m_places.push_back(place);
            m_nodeLayers.push_back(quint32(m_layers.size()));
            m_rows.push_back({place, position});
            links += std::size_t(node->Links().Count());
        }
        std::sort(m_rows.begin() + qsizetype(entry.firstNode), m_rows.end());
        m_layers.push_back(std::move(entry));
    }
    m_links.reserve(links);
}

GridCell NetworkHitIndex::cellOf(const LayerPlaces& layer, qint32 place) const
{
    return {m_grid->columnWidth(), layer.rowHeight,
            QPointF(m_grid->centreX(layer.index), NetworkGrid::centreY(place, layer.rowHeight))};
}

void NetworkHitIndex::layOutLinks(const NetworkGrid& grid, NodePlaces& places)
{
    // The nodes of the network by where the walk met them: an evidence node among them has its
    // cell already (as a node held by the layer it names, which every node of a complete layout is).
    QHash<const Node*, quint32> walked;
    walked.reserve(qsizetype(m_nodes.size()));
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
        walked.insert(m_nodes[i].get(), quint32(i));
    for (std::size_t layerNumber = 0; layerNumber < m_layers.size(); ++layerNumber) {
        const LayerPlaces& layer = m_layers[layerNumber];
        for (std::size_t i = 0; i < std::size_t(layer.nodeCount); ++i) {
            const std::size_t holder = layer.firstNode + i;
            const Node& node = *m_nodes[holder];
            const GridCell cell = cellOf(layer, m_places[holder]);
            for (const auto& link : node.Links()) {
                if (!link || !link->ConnectionTo) {
                    m_complete = false;
                    return;
                }
                const Node& evidence = *link->ConnectionTo;
                GridCell evidenceCell;
                qint32 evidenceLayerIndex = 0;
                if (const auto met = walked.constFind(&evidence); met != walked.cend()) {
                    const LayerPlaces& held = m_layers[m_nodeLayers[*met]];
                    evidenceCell = cellOf(held, m_places[*met]);
                    evidenceLayerIndex = held.index;
                } else {
                    const auto evidenceLayer = evidence.Layer.lock();
                    if (!evidenceLayer) {
                        m_complete = false;
                        return;
                    }
                    evidenceCell = grid.cell(evidenceLayer->Index, evidenceLayer->Nodes().Count(), places.of(evidence));
                    evidenceLayerIndex = evidenceLayer->Index;
                }
                const drawing::RimLine line = linkHitLine(cell, layer.index, evidenceCell, evidenceLayerIndex);
                m_links.push_back({float(line.from.x()), float(line.from.y()), float(line.to.x()), float(line.to.y()),
                                   link.get(), &evidence, quint32(holder), quint32(layerNumber)});
            }
        }
    }
}

void NetworkHitIndex::sortIntoStrips()
{
    if (m_links.empty())
        return;
    double left = HUGE_VAL;
    double right = -HUGE_VAL;
    for (const LinkPlace& link : m_links) {
        left = std::min({left, double(link.x1), double(link.x2)});
        right = std::max({right, double(link.x1), double(link.x2)});
    }
    m_stripsLeft = left - kLinkBoxMargin;
    const double span = right - left + 2 * kLinkBoxMargin;
    m_stripWidth = std::max({double(m_grid->columnWidth()), span / kMostStrips, 1.0});
    const std::size_t strips = std::size_t(span / m_stripWidth) + 1;
    const auto stripOf = [&](double x) {
        return std::min(strips - 1, std::size_t(std::max(0.0, (x - m_stripsLeft) / m_stripWidth)));
    };
    const auto eachStrip = [&](const LinkPlace& link, auto&& take) {
        const std::size_t first = stripOf(std::min(link.x1, link.x2) - kLinkBoxMargin);
        const std::size_t last = stripOf(std::max(link.x1, link.x2) + kLinkBoxMargin);
        for (std::size_t strip = first; strip <= last; ++strip)
            take(strip);
    };
    m_stripStarts.assign(strips + 1, 0);
    for (const LinkPlace& link : m_links)
        eachStrip(link, [&](std::size_t strip) { ++m_stripStarts[strip + 1]; });
    for (std::size_t strip = 0; strip < strips; ++strip)
        m_stripStarts[strip + 1] += m_stripStarts[strip];
    m_stripLinks.resize(m_stripStarts.back());
    std::vector<quint32> filled(m_stripStarts.begin(), m_stripStarts.end() - 1);
    for (std::size_t i = 0; i < m_links.size(); ++i)
        eachStrip(m_links[i], [&](std::size_t strip) { m_stripLinks[filled[strip]++] = quint32(i); });
}

bool NetworkHitIndex::describes(const clsNetwork& network, double scaleWidth, double scaleHeight) const
{
    if (&network != m_network || m_networkAlive.expired() || scaleWidth != m_scaleWidth || scaleHeight != m_scaleHeight)
        return false;
    const auto& layers = network.Layers();
    if (m_complete && std::size_t(layers.Count()) != m_layers.size())
        return false;
    if (!m_complete)
        return true; // the walk reads the network as it stands
    std::size_t i = 0;
    for (const auto& layer : layers) {
        const LayerPlaces& laid = m_layers[i++];
        if (layer != laid.layer || layer->Index != laid.index || layer->Nodes().Count() != laid.nodeCount)
            return false;
    }
    return true;
}

std::optional<std::vector<NetworkHitIndex::NodeCell>> NetworkHitIndex::nodesNear(float X, float Y) const
{
    std::vector<NodeCell> near;
    for (const LayerPlaces& layer : m_layers) {
        const double width = m_grid->columnWidth();
        const double height = layer.rowHeight;
        // A cell without width or height holds nothing.
        if (layer.nodeCount == 0 || width <= 0 || height <= 0)
            continue;
        if (std::abs(X - m_grid->centreX(layer.index)) > kNodeReach * width + kRounding)
            continue;
        // Rows whose centres (place × height − height / 2) lie within reach of Y.
        const double reach = kNodeReach * height + kRounding;
        const qint32 first = qint32(std::max(0.0, std::floor((Y - reach) / height + 0.5)));
        const double last = std::floor((Y + reach) / height + 0.5);
        const auto begin = m_rows.begin() + qsizetype(layer.firstNode);
        const auto end = begin + layer.nodeCount;
        std::vector<Row> rows;
        for (auto row = std::lower_bound(begin, end, Row {first, 0}); row != end && row->place <= last; ++row)
            rows.push_back(*row);
        std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.position < b.position; });
        for (const Row& row : rows) {
            const auto& node = m_nodes[layer.firstNode + std::size_t(row.position) - 1];
            const auto& held = layer.layer->Nodes();
            if (row.position > held.Count() || held.Item(row.position) != node)
                return std::nullopt;
            near.push_back({node, cellOf(layer, row.place)});
        }
    }
    return near;
}

std::optional<std::vector<NetworkHitIndex::LinkLine>> NetworkHitIndex::linksAt(float X, float Y) const
{
    std::vector<LinkLine> found;
    if (m_stripStarts.empty())
        return found;
    const double offset = (X - m_stripsLeft) / m_stripWidth;
    if (!(offset >= 0) || offset >= double(m_stripStarts.size() - 1))
        return found; // outside every box
    const std::size_t strip = std::size_t(offset);
    for (quint32 i = m_stripStarts[strip]; i < m_stripStarts[strip + 1]; ++i) {
        const LinkPlace& place = m_links[m_stripLinks[i]];
        const drawing::RimLine line {QPointF(place.x1, place.y1), QPointF(place.x2, place.y2)};
        if (!linkBoxHolds(line, X, Y))
            continue;
        const auto& holder = m_nodes[place.holder];
        const auto& links = holder->Links();
        const auto held = std::find_if(links.begin(), links.end(),
                                       [&](const std::shared_ptr<Link>& link) { return link.get() == place.link; });
        if (held == links.end() || (*held)->ConnectionTo.get() != place.evidence)
            return std::nullopt;
        found.push_back({qsizetype(place.layer), holder, *held, (*held)->ConnectionTo, line});
    }
    return found;
}

} // namespace kelvane
