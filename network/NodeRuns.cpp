#include "network/NodeRuns.h"

#include "model/Layer.h"
#include "network/NodeDrawing.h"
#include "network/NodePlaces.h"
#include "network/ShownNodes.h"
#include "platform/Canvas.h"

#include <QScopeGuard>
#include <algorithm>
#include <limits>

namespace kelvane::drawing {

namespace {

// Enough nodes for a picture of the whole surface of their own to be worth it; the surface
// draws as many runs at once as it can.
constexpr qsizetype kNodesPerRun = 2048;
constexpr std::size_t kMostRuns = 7;
// Settling a node's text takes about a sixth of the time drawing the node takes.
constexpr double kSettlingPerDrawing = 0.16;
// The settled nodes are made known to the runs waiting for them this many at a time.
constexpr qsizetype kSettledAtOnce = 64;

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
    const CaptionDecision* decided = captionAt[std::size_t(place - first)];
    return decided ? *decided : CaptionDecision {};
}

void SettledNodes::settledTo(qsizetype end)
{
    m_progress.store(2 * qint64(end), std::memory_order_release);
    m_progress.notify_all();
}

void SettledNodes::stop(qsizetype end, bool figureFails)
{
    if (figureFails)
        m_figureFailsAt = end;
    m_progress.store(2 * qint64(end) + 1, std::memory_order_release);
    m_progress.notify_all();
}

bool SettledNodes::waitFor(qsizetype place) const
{
    qint64 progress = m_progress.load(std::memory_order_acquire);
    while (progress / 2 <= place && !(progress & 1)) {
        m_progress.wait(progress, std::memory_order_acquire);
        progress = m_progress.load(std::memory_order_acquire);
    }
    return place < progress / 2;
}

bool SettledNodes::figureFailsAt(qsizetype place) const
{
    return place == m_figureFailsAt;
}

namespace {

// Where the runs begin, so that they end together: each run but the last is drawn from the time
// its first node is settled, the last once all are. A run that begins later is shorter.
std::vector<qsizetype> runStarts(qsizetype shown, std::size_t count)
{
    // With each node taking one unit to draw and s to settle, a run beginning at node a and
    // ending at time T holds T - a*s nodes; the last, beginning at shown*s, holds T - shown*s.
    const double s = kSettlingPerDrawing;
    double ahead = 0; // the nodes before the last run, per unit of T
    for (std::size_t k = 0; k + 1 < count; ++k)
        ahead += 1 - ahead * s;
    const double T = double(shown) * (1 + s) / (1 + ahead);
    std::vector<qsizetype> starts {0};
    double at = 0;
    for (std::size_t k = 0; k + 1 < count; ++k) {
        at += T - at * s;
        starts.push_back(std::clamp<qsizetype>(qsizetype(at), starts.back() + 1, shown - 1));
    }
    return starts;
}

} // namespace

std::vector<NodeRun> nodeRuns(const clsNetwork& network)
{
    qsizetype shown = 0;
    const bool whole = forEachShownNodeAsFarAsItGoes(network, [&](const Layer&, const std::shared_ptr<Node>&) {
        ++shown;
        return true;
    });
    const std::size_t count = whole ? std::clamp<std::size_t>(std::size_t(shown / kNodesPerRun), 1, kMostRuns) : 1;
    if (count == 1)
        return {NodeRun {0, std::numeric_limits<qsizetype>::max(), std::nullopt, false, {}}}; // settled as drawn
    const std::vector<qsizetype> starts = runStarts(shown, count);
    std::vector<NodeRun> runs(count);
    for (std::size_t k = 0; k < count; ++k) {
        runs[k].first = starts[k];
        runs[k].end = k + 1 < count ? starts[k + 1] : shown;
        runs[k].settledAhead = true;
        runs[k].captionAt.resize(std::size_t(runs[k].end - runs[k].first));
    }
    return runs;
}

void settleNodeRuns(const clsNetwork& network, const NetworkGrid& grid, const platform::Canvas& canvas,
                    RequiredNodes& required, std::vector<NodeRun>& runs, SettledNodes& settled)
{
    // The texts are settled in the drawing's order as far as it goes: to the first node whose
    // figure, caption or name fails.
    qsizetype place = 0;
    bool figureFails = false;
    const auto stop = qScopeGuard([&] { settled.stop(place, figureFails); });
    PropertiesOnly figures(canvas);
    NodePlaces places;
    std::size_t run = 0;
    const Node* named = nullptr;
    CaptionDecision namedCaption;
    forEachShownNodeAsFarAsItGoes(network, [&](const Layer& layer, const std::shared_ptr<Node>& node) {
        if (run + 1 < runs.size() && runs[run + 1].first == place) {
            ++run;
            if (named) {
                runs[run].nameProperties = propertiesAfterName(canvas, *named, namedCaption);
                if (!runs[run].nameProperties)
                    return false;
            }
        }
        if (!figureDraws(figures, grid, places, layer, *node, network.Overview)) {
            figureFails = true;
            return false;
        }
        NodeRun& settling = runs[run];
        const qsizetype at = place++;
        bool goesOn = true;
        if (node->Enabled()) {
            named = node.get();
            namedCaption = settleNodeText(node, network.ShowAnswer, required);
            if (namedCaption.shown || namedCaption.failure)
                settling.captionAt[std::size_t(at - settling.first)] = &settling.captions.emplace_back(namedCaption);
            goesOn = !namedCaption.failure;
        }
        if (place % kSettledAtOnce == 0)
            settled.settledTo(place);
        return goesOn;
    });
}

} // namespace kelvane::drawing
