#include "network/NodeRuns.h"

#include "model/Layer.h"
#include "network/NodeDrawing.h"
#include "network/NodePlaces.h"
#include "network/ShownNodes.h"
#include "platform/Canvas.h"

#include <algorithm>
#include <limits>

namespace kelvane::drawing {

namespace {

// Enough nodes for a picture of the whole surface of their own to be worth it; the surface
// draws as many runs at once as it can.
constexpr qsizetype kNodesPerRun = 2048;
constexpr std::size_t kMostRuns = 6;

// A canvas that paints and measures nothing: what drawing does to the drawing properties, and
// where it fails, found without drawing.
class PropertiesOnly : public platform::Canvas {
public:
    explicit PropertiesOnly(const platform::Canvas& like)
        : m_width(like.ScaleWidth())
        , m_height(like.ScaleHeight())
    {
        takeStateOf(like);
    }
    double ScaleWidth() const override { return m_width; }
    double ScaleHeight() const override { return m_height; }

protected:
    void paintLine(QPointF, QPointF, qint32) override {}
    void paintCircle(const platform::CircleFigure&) override {}
    void paintText(QPointF, const QString&) override {}
    void paintClear() override {}
    double lineWidth(const QString&) const override { return 0; }
    double lineHeight() const override { return 0; }

private:
    double m_width;
    double m_height;
};

// The font and colour the drawing properties have once the node's name (and caption) is drawn:
// the name's own drawing sets them whatever they were. None when drawing it fails.
std::optional<std::pair<platform::FontDescription, qint32>> propertiesAfterName(const platform::Canvas& canvas,
                                                                                 const Node& node,
                                                                                 const CaptionDecision& caption)
{
    PropertiesOnly properties(canvas);
    try {
        drawNodeText(properties, node, QPointF(), caption);
    } catch (...) {
        return std::nullopt;
    }
    return std::pair {properties.Font(), properties.ForeColor()};
}

// Whether the node's figure can be drawn: where it cannot, the drawing ends at the node.
bool figureDraws(platform::Canvas& figures, const NetworkGrid& grid, NodePlaces& places, const Layer& layer,
                 const Node& node, bool overview)
{
    try {
        const GridCell cell = cellOf(grid, places, layer, node);
        drawNodeFigure(figures, node, cell.centre, cell.radius(), overview);
    } catch (...) {
        return false;
    }
    return true;
}

} // namespace

GridCell cellOf(const NetworkGrid& grid, NodePlaces& places, const Layer& layer, const Node& node)
{
    return grid.cell(layer.Index, layer.Nodes().Count(), places.of(node));
}

void NodeRun::begin(platform::Canvas& canvas, bool linksDrawn) const
{
    // Every node sets its own fill colour and leaves the draw style solid; the pass sets the fill
    // style once.
    if (first == 0) {
        if (linksDrawn)
            canvas.setDrawStyle(platform::drawstyle::Solid);
        canvas.setFillColor(basGlobal::Settings.NodeColour);
    } else {
        canvas.setDrawStyle(platform::drawstyle::Solid);
    }
    canvas.setFillStyle(platform::fillstyle::Solid);
    if (nameProperties) {
        canvas.setFont(nameProperties->first);
        canvas.setForeColor(nameProperties->second);
    }
}

CaptionDecision NodeRun::captionOf(qsizetype place, const std::shared_ptr<Node>& node, bool networkShowsAnswers,
                                   RequiredNodes& required) const
{
    if (!settledAhead)
        return settleNodeText(node, networkShowsAnswers, required);
    const auto decided = std::lower_bound(captions.begin(), captions.end(), place,
                                          [](const auto& caption, qsizetype at) { return caption.first < at; });
    return decided != captions.end() && decided->first == place ? decided->second : CaptionDecision {};
}

std::vector<NodeRun> nodeRuns(const clsNetwork& network, const NetworkGrid& grid, const platform::Canvas& canvas,
                              RequiredNodes& required)
{
    qsizetype shown = 0;
    const bool whole = forEachShownNodeAsFarAsItGoes(network, [&](const Layer&, const std::shared_ptr<Node>&) {
        ++shown;
        return true;
    });
    const std::size_t count = whole ? std::clamp<std::size_t>(std::size_t(shown / kNodesPerRun), 1, kMostRuns) : 1;
    if (count == 1)
        return {NodeRun {0, std::numeric_limits<qsizetype>::max(), std::nullopt, false, {}}}; // settled as drawn
    std::vector<NodeRun> runs(count);
    for (std::size_t k = 0; k < count; ++k) {
        runs[k].first = shown * qsizetype(k) / qsizetype(count);
        runs[k].end = shown * qsizetype(k + 1) / qsizetype(count);
        runs[k].settledAhead = true;
    }
    // The texts are settled in the drawing's order as far as it goes: to the first node whose
    // figure, caption or name fails. The runs after the one it ends in are not drawn.
    PropertiesOnly figures(canvas);
    NodePlaces places;
    qsizetype place = 0;
    std::size_t drawn = 1; // the runs begun
    const Node* named = nullptr;
    CaptionDecision namedCaption;
    forEachShownNodeAsFarAsItGoes(network, [&](const Layer& layer, const std::shared_ptr<Node>& node) {
        if (drawn < count && runs[drawn].first == place) {
            if (named) {
                runs[drawn].nameProperties = propertiesAfterName(canvas, *named, namedCaption);
                if (!runs[drawn].nameProperties)
                    return false;
            }
            ++drawn;
        }
        if (!figureDraws(figures, grid, places, layer, *node, network.Overview))
            return false;
        ++place;
        if (!node->Enabled())
            return true;
        named = node.get();
        namedCaption = settleNodeText(node, network.ShowAnswer, required);
        if (namedCaption.shown || namedCaption.failure)
            runs[drawn - 1].captions.emplace_back(place - 1, namedCaption);
        return !namedCaption.failure;
    });
    runs.resize(drawn);
    return runs;
}

} // namespace kelvane::drawing
