#include "network/NodeRuns.h"

#include "network/NodeText.h"
#include "network/RequiredNodes.h"
#include "network/ShownNodes.h"
#include "platform/Canvas.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <limits>

namespace kelvane::drawing {

namespace {

// Enough nodes for a picture of the whole surface of their own to be worth it; the surface
// draws as many runs at once as it can.
constexpr qsizetype kNodesPerRun = 2048;
constexpr std::size_t kMostRuns = 6;

// A canvas that paints and measures nothing: where drawing leaves the drawing properties, found
// without drawing.
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
// the name's own drawing sets them whatever they were.
std::optional<std::pair<platform::FontDescription, qint32>> propertiesAfterName(const platform::Canvas& canvas,
                                                                                 const std::shared_ptr<Node>& node,
                                                                                 bool showAnswer, RequiredNodes& required)
{
    PropertiesOnly properties(canvas);
    try {
        drawNodeText(properties, node, QPointF(), showAnswer, required);
    } catch (const RuntimeError&) {
        return std::nullopt; // the drawing ends there, and the runs after it are not kept
    }
    return std::pair {properties.Font(), properties.ForeColor()};
}

} // namespace

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

std::vector<NodeRun> nodeRuns(const clsNetwork& network, const platform::Canvas& canvas, RequiredNodes& required)
{
    qsizetype shown = 0;
    const bool whole = forEachShownNodeAsFarAsItGoes(network, [&](const std::shared_ptr<Node>&) {
        ++shown;
        return true;
    });
    const std::size_t count = whole ? std::clamp<std::size_t>(std::size_t(shown / kNodesPerRun), 1, kMostRuns) : 1;
    if (count == 1)
        return {NodeRun {0, std::numeric_limits<qsizetype>::max(), std::nullopt}};
    std::vector<NodeRun> runs(count);
    for (std::size_t k = 0; k < count; ++k) {
        runs[k].first = shown * qsizetype(k) / qsizetype(count);
        runs[k].end = shown * qsizetype(k + 1) / qsizetype(count);
    }
    qsizetype place = 0;
    std::size_t next = 1;
    std::shared_ptr<Node> named;
    const bool captions = captionsShown(network.ShowAnswer);
    forEachShownNodeAsFarAsItGoes(network, [&](const std::shared_ptr<Node>& node) {
        if (next < count && runs[next].first == place) {
            if (named)
                runs[next].nameProperties = propertiesAfterName(canvas, named, network.ShowAnswer, required);
            ++next;
        }
        if (node->Enabled()) {
            named = node;
            if (captions)
                required.findReachOf(*node);
        }
        ++place;
        return true;
    });
    return runs;
}

} // namespace kelvane::drawing
