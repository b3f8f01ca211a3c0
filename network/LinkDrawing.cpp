#include "network/LinkDrawing.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "model/basGlobal.h"
#include "network/NetworkGrid.h"
#include "network/NodePlaces.h"
#include "platform/Canvas.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <cmath>

namespace kelvane::drawing {

namespace {

constexpr qint32 kStroke = 15; // one pixel in twips

// Outside the viewer every link is a groove; in it, so is a link whose evidence node has no
// usable answer.
bool evidenceHasNoUsableAnswer(const Node& evidence)
{
    return basGlobal::ApplicationMode == 0 || (!evidence.Answered && evidence.NoDefault) || evidence.Irrelevant()
           || evidence.NeedInfo();
}

} // namespace

LinkEnds linkEnds(qint32 columnWidth, const GridPlace& holder, const GridPlace& evidence)
{
    const double width = columnWidth;
    const double dx = double(evidence.layerIndex - holder.layerIndex) * width;
    const double dy = conv::toInt32(NetworkGrid::centreY(evidence.nodeIndex, evidence.rowHeight)
                                    - NetworkGrid::centreY(holder.nodeIndex, holder.rowHeight));
    const double r1 = std::floor(double(std::min(columnWidth, holder.rowHeight)) / 4.0);
    const double r2 = std::floor(double(std::min(columnWidth, evidence.rowHeight)) / 4.0);
    const double x1 = conv::toInt32(double(holder.layerIndex) * width - width / 2.0);
    const double x2 = conv::toInt32(double(evidence.layerIndex) * width - width / 2.0);
    const double y1 = conv::toInt32(NetworkGrid::centreY(holder.nodeIndex, holder.rowHeight));
    const double y2 = conv::toInt32(NetworkGrid::centreY(evidence.nodeIndex, evidence.rowHeight));

    const RimLine line = rimLine(QPointF(x1, y1), r1, QPointF(x2, y2), r2, dx, dy,
                                 [](double value) { return double(conv::toInt32(value)); });
    return LinkEnds {line.from.toPoint(), line.to.toPoint()};
}

qint16 bandStrokes(double dot)
{
    if (dot > 0.4 && dot < 0.6)
        return 2;
    return conv::toInt16(std::floor(conv::checkFinite(std::abs(dot - 0.5) * 10.0)) + 1.0);
}

qint32 bandColour(double dot)
{
    const auto& settings = basGlobal::Settings;
    if (dot >= 0.6)
        return settings.PositiveColour;
    if (dot <= 0.4)
        return settings.NegativeColour;
    return settings.NeutralColour;
}

void paintBand(platform::Canvas& canvas, const LinkEnds& ends, qint16 strokes, qint32 colour, bool bothSelected)
{
    const auto& settings = basGlobal::Settings;
    const qint32 lowerEdge = bothSelected ? settings.ShadowColour : settings.HighlightColour;
    const qint32 upperEdge = bothSelected ? settings.HighlightColour : settings.ShadowColour;
    const auto stroke = [&](qint32 offset, qint32 strokeColour) {
        canvas.Line(ends.from.x(), double(ends.from.y()) + offset, ends.to.x(), double(ends.to.y()) + offset,
                    strokeColour);
    };
    for (qint32 i = 1; i <= strokes; ++i) {
        const bool edge = i == strokes;
        stroke((i - 1) * kStroke, edge ? lowerEdge : colour);
        stroke(-i * kStroke, edge ? upperEdge : colour);
    }
}

void drawLink(platform::Canvas& canvas, const NetworkGrid& grid, NodePlaces& places, const Node& holder,
              const GridPlace& place, const Link& link)
{
    const Node& evidence = *requireObject(link.ConnectionTo);
    const auto evidenceLayer = requireObject(evidence.Layer.lock());
    const GridPlace evidencePlace {evidenceLayer->Index, places.of(evidence),
                                   grid.rowHeight(evidenceLayer->Nodes().Count())};
    const LinkEnds ends = linkEnds(grid.columnWidth(), place, evidencePlace);
    const bool bothSelected = holder.Selected() && evidence.Selected();
    if (evidenceHasNoUsableAnswer(evidence))
        paintBand(canvas, ends, 1, 0, bothSelected);
    else
        paintBand(canvas, ends, bandStrokes(link.DOT), bandColour(link.DOT), bothSelected);
}

} // namespace kelvane::drawing
