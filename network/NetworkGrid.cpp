#include "network/NetworkGrid.h"

#include "platform/Conversions.h"
#include "platform/RuntimeError.h"

#include <algorithm>

namespace kelvane {

namespace {

// The whole number of twips nearest to `extent` / `parts`, halves to even.
qint32 cellSize(double extent, qsizetype parts)
{
    if (parts == 0)
        raiseError(err::DivisionByZero);
    return conv::toInt32(extent / double(parts));
}

// The middle of the `position`-th cell of `size` (1-based): position × size − size / 2.
double cellMiddle(qint32 position, qint32 size)
{
    return double(position) * double(size) - double(size) / 2.0;
}

} // namespace

double GridCell::radius() const
{
    return double(std::min(columnWidth, rowHeight)) / 4.0;
}

NetworkGrid::NetworkGrid(double scaleWidth, double scaleHeight, qsizetype layerCount)
    : m_scaleHeight(scaleHeight)
    , m_columnWidth(cellSize(scaleWidth, layerCount))
{
}

qint32 NetworkGrid::rowHeight(qsizetype nodeCount) const
{
    return cellSize(m_scaleHeight, nodeCount);
}

double NetworkGrid::centreX(qint32 layerIndex) const
{
    return cellMiddle(layerIndex, m_columnWidth);
}

double NetworkGrid::centreY(qint32 nodeIndex, qint32 rowHeight)
{
    return cellMiddle(nodeIndex, rowHeight);
}

GridCell NetworkGrid::cell(qint32 layerIndex, qsizetype nodeCount, qint32 nodeIndex) const
{
    const qint32 height = rowHeight(nodeCount);
    return {m_columnWidth, height, QPointF(centreX(layerIndex), centreY(nodeIndex, height))};
}

} // namespace kelvane
