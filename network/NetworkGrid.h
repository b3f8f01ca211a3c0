#pragma once

#include <QPointF>
#include <QtGlobal>

namespace kelvane {

// Where one node sits on the grid: the cell sizes of its column and row (whole twips) and
// its centre, unrounded (the halving is in floating point, so a centre may end in .5).
struct GridCell {
    qint32 columnWidth = 0; // W
    qint32 rowHeight = 0;   // H of the node's layer
    QPointF centre;

    // The node's radius: a quarter of the smaller cell side, unrounded.
    double radius() const;
};

// The grid a network is drawn on and hit-tested against: the surface is split into one
// column per layer (by the layer's Index) and each layer's column into one row per node (by
// the node's Index); every node is centred in its cell. Cell sizes are rounded half to even.
// The arithmetic is 32-bit and wider, so any surface size that fits a 32-bit whole number
// of twips works; below 32,768 twips the results equal those of 16-bit arithmetic.
class NetworkGrid {
public:
    // A grid of `layerCount` columns; DivisionByZero (11) for no layers.
    NetworkGrid(double scaleWidth, double scaleHeight, qsizetype layerCount);

    qint32 columnWidth() const { return m_columnWidth; }

    // The row height of a layer that holds `nodeCount` nodes; DivisionByZero for none.
    qint32 rowHeight(qsizetype nodeCount) const;

    // The centre of a column and of a row.
    double centreX(qint32 layerIndex) const;
    static double centreY(qint32 nodeIndex, qint32 rowHeight);

    // The cell of the node at `nodeIndex` in the layer `layerIndex` that holds `nodeCount` nodes.
    GridCell cell(qint32 layerIndex, qsizetype nodeCount, qint32 nodeIndex) const;

private:
    double m_scaleHeight;
    qint32 m_columnWidth;
};

} // namespace kelvane
