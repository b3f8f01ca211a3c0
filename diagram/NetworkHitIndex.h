#pragma once

#include "network/LinkDrawing.h"
#include "network/NetworkGrid.h"

#include <QtGlobal>
#include <memory>
#include <optional>
#include <vector>

namespace kelvane {

class Layer;
class Link;
class Node;
class NodePlaces;
class clsNetwork;

// A link as the hit tests measure it: the line between the rims of its two circles (each
// radius rounded down), from the holder's cell in the layer numbered `holderLayer` to the
// evidence node's in `evidenceLayer`, its ends kept in single precision.
drawing::RimLine linkHitLine(const GridCell& holder, qint32 holderLayer, const GridCell& evidence, qint32 evidenceLayer);

// Whether the point lies in the link's box: its ends' box widened by 30 units on every side,
// bounds included.
bool linkBoxHolds(const drawing::RimLine& line, float X, float Y);

// The nodes and links of a network laid out once on the grid over a surface of one size, so
// that a hit test looks only at what lies near its point: a node by its column and row, a
// link by the strip of the surface its box crosses. What it hands out keeps the order of the
// grid walk (layers, their nodes, each node's links), so that where shapes overlap the same
// one wins as in the walk. A node's row is its Index(), as the drawing places it.
//
// Only the places are kept: whether a node or link is enabled, a node's handles and the
// selection are read from the model by the test. The display forgets the index when the
// network is edited or drawn; a lookup finds out for itself when the layers, their node
// counts, or a node or link it would hand out are no longer as laid out.
class NetworkHitIndex {
public:
    // A node and its cell.
    struct NodeCell {
        std::shared_ptr<Node> node;
        GridCell cell;
    };
    // A link, its two ends and its line, with the number of its holder's layer in the walk.
    struct LinkLine {
        qsizetype layer = 0;
        std::shared_ptr<Node> holder;
        std::shared_ptr<Link> link;
        std::shared_ptr<Node> evidence;
        drawing::RimLine line;
    };

    // Lays out the network. A network that cannot be laid out whole (a missing layer, node,
    // link or evidence node, a node outside the layer that holds it, a place beyond the
    // surface's arithmetic) gets an index that is not complete(): the tests then walk the
    // network node by node, meeting those where the walk comes to them.
    static std::shared_ptr<const NetworkHitIndex> layOut(clsNetwork& network, double scaleWidth, double scaleHeight);

    bool complete() const { return m_complete; }

    // Whether the index is that of the network, as its layers stand now (the same layers in
    // the same order, with the same numbers and node counts), on a surface of this size.
    bool describes(const clsNetwork& network, double scaleWidth, double scaleHeight) const;

    // The nodes whose cells lie within a row and a column of the point, in walk order;
    // nothing when one of them is no longer where it was laid out.
    std::optional<std::vector<NodeCell>> nodesNear(float X, float Y) const;

    // The links whose boxes hold the point, in walk order; nothing when one of them is no
    // longer held by its node or leads elsewhere.
    std::optional<std::vector<LinkLine>> linksAt(float X, float Y) const;

private:
    struct LayerPlaces {
        std::shared_ptr<Layer> layer;
        qint32 index = 0;
        qsizetype nodeCount = 0;
        qint32 rowHeight = 0;
        std::size_t firstNode = 0; // into m_nodes and m_rows
    };
    struct Row {
        qint32 place = 0;    // the row the node is drawn in (its Index())
        qint32 position = 0; // the node's 1-based position in the layer
        bool operator<(const Row& other) const
        {
            return place != other.place ? place < other.place : position < other.position;
        }
    };
    struct LinkPlace {
        float x1 = 0;
        float y1 = 0;
        float x2 = 0;
        float y2 = 0;
        const Link* link = nullptr;
        const Node* evidence = nullptr;
        quint32 holder = 0; // into m_nodes
        quint32 layer = 0;  // into m_layers
    };

    NetworkHitIndex() = default;
    void layOutNodes(clsNetwork& network, const NetworkGrid& grid, NodePlaces& places);
    void layOutLinks(const NetworkGrid& grid, NodePlaces& places);
    void sortIntoStrips();
    GridCell cellOf(const LayerPlaces& layer, qint32 place) const;

    const clsNetwork* m_network = nullptr;
    std::weak_ptr<const clsNetwork> m_networkAlive;
    double m_scaleWidth = 0;
    double m_scaleHeight = 0;
    bool m_complete = true;
    std::optional<NetworkGrid> m_grid; // none without layers
    std::vector<LayerPlaces> m_layers;
    std::vector<std::shared_ptr<Node>> m_nodes; // in walk order
    std::vector<qint32> m_places;               // each node's row, in walk order
    std::vector<quint32> m_nodeLayers;          // each node's layer, while laying out
    std::vector<Row> m_rows;                    // each layer's nodes by row
    std::vector<LinkPlace> m_links;             // in walk order
    // Vertical strips of the surface, each listing the links whose boxes reach into it.
    double m_stripsLeft = 0;
    double m_stripWidth = 1;
    std::vector<quint32> m_stripStarts; // one more than strips: where each strip's list begins
    std::vector<quint32> m_stripLinks;  // into m_links, in walk order within each strip
};

} // namespace kelvane
