#include "DrawingTestSupport.h"

#include "network/LinkDrawing.h"
#include "network/NetworkGrid.h"
#include "network/NodePlaces.h"
#include "network/NodeText.h"
#include "network/RequiredNodes.h"
#include "network/VisibleText.h"
#include "platform/Service.h"
#include "platform/doubles/RecordingCanvas.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/HeldAllocations.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <utility>
#include <vector>

using namespace kelvane;
using kelvane::test::answer;
using kelvane::test::errorNumberOf;
using kelvane::test::giveAnswers;
using kelvane::test::switchOn;
using platform::doubles::RecordingCanvas;

namespace {

// Distinct plain colours, so every stroke tells which setting it came from.
constexpr qint32 kBack = platform::colours::rgb(1, 1, 1);
constexpr qint32 kNode = platform::colours::rgb(2, 2, 2);
constexpr qint32 kHighlight = platform::colours::rgb(3, 3, 3);
constexpr qint32 kShadow = platform::colours::rgb(4, 4, 4);
constexpr qint32 kPositive = platform::colours::rgb(5, 5, 5);
constexpr qint32 kNegative = platform::colours::rgb(6, 6, 6);
constexpr qint32 kNeutral = platform::colours::rgb(7, 7, 7);

constexpr double kArcStart = 3.141592 + 3.141592 / 4;
constexpr double kArcEnd = 3.141592 / 4;

// One stroke of a band: its vertical offset from the link's centre line and its colour.
using Stroke = std::pair<double, qint32>;

class NetworkDrawing : public kelvane::test::DrawingTest {
protected:
    NetworkDrawing()
    {
        basGlobal::Settings.BackColour = kBack;
        basGlobal::Settings.NodeColour = kNode;
        basGlobal::Settings.HighlightColour = kHighlight;
        basGlobal::Settings.ShadowColour = kShadow;
        basGlobal::Settings.PositiveColour = kPositive;
        basGlobal::Settings.NegativeColour = kNegative;
        basGlobal::Settings.NeutralColour = kNeutral;
    }

    // Three nodes in layer 1 and three in layer 2 on a 6,000 × 3,000 surface: W 3,000, H 1,000.
    // The first node of layer 2 holds a link to the first node of layer 1.
    void buildTwoColumns()
    {
        for (int i = 0; i < 3; ++i)
            evidence.push_back(build.node(1));
        for (int i = 0; i < 3; ++i)
            holders.push_back(build.node(2));
        link = addLink(holders[0], evidence[0]);
    }

    // The lines of the link pass: everything drawn before the first node.
    std::vector<RecordingCanvas::LineCall> linkPassLines() const
    {
        std::vector<RecordingCanvas::LineCall> lines;
        for (const auto& primitive : canvas.primitives()) {
            const auto* line = std::get_if<RecordingCanvas::LineCall>(&primitive);
            if (!line)
                break;
            lines.push_back(*line);
        }
        return lines;
    }

    // The strokes of the link pass, offsets taken from the centre line at y = `centreY`.
    std::vector<Stroke> strokes(double centreY = 500) const
    {
        std::vector<Stroke> found;
        for (const auto& line : linkPassLines())
            found.emplace_back(line.from.y() - centreY, line.colour);
        return found;
    }

    // Draws the network afresh on the canvas.
    bool redraw()
    {
        canvas.forget();
        return network.DrawNetwork(canvas);
    }

    // The band for a degree of truth at an answered evidence node, in the viewer.
    std::vector<Stroke> bandFor(double dot)
    {
        basGlobal::ApplicationMode = 1;
        answer(*evidence[0], 1.0);
        link->DOT = dot;
        EXPECT_TRUE(redraw());
        return strokes();
    }

    RecordingCanvas canvas {6000, 3000};
    std::vector<std::shared_ptr<Node>> evidence;
    std::vector<std::shared_ptr<Node>> holders;
    std::shared_ptr<Link> link;
};

std::vector<Stroke> neutralBandEdges(qint32 lower, qint32 upper)
{
    return {{0, kNeutral}, {-15, kNeutral}, {15, lower}, {-30, upper}};
}

} // namespace

// --- Grid ----------------------------------------------------------------------------------

TEST(NetworkGridTest, ColumnsRowsAndCentresRoundHalvesToEven)
{
    const NetworkGrid grid(6000, 3000, 2);
    EXPECT_EQ(grid.columnWidth(), 3000);
    const GridCell first = grid.cell(1, 3, 1);
    EXPECT_EQ(first.rowHeight, 1000);
    EXPECT_EQ(first.centre, QPointF(1500, 500));
    EXPECT_EQ(first.radius(), 250);

    const NetworkGrid thirds(1000, 25, 3);
    EXPECT_EQ(thirds.columnWidth(), 333);
    EXPECT_EQ(thirds.centreX(3), 832.5);
    EXPECT_EQ(thirds.rowHeight(2), 12) << "12.5 takes the even neighbour";
    EXPECT_EQ(NetworkGrid(1000, 27, 3).rowHeight(2), 14) << "13.5 takes the even neighbour";

    EXPECT_EQ(NetworkGrid(40000, 70000, 2).cell(2, 1, 1).centre, QPointF(30000, 35000)) << "no 16-bit overflow";
    EXPECT_EQ(errorNumberOf([] { NetworkGrid(1000, 1000, 0); }), err::DivisionByZero);
    EXPECT_EQ(errorNumberOf([] { NetworkGrid(1000, 1000, 1).rowHeight(0); }), err::DivisionByZero);
    EXPECT_EQ(errorNumberOf([] { NetworkGrid(1e12, 1000, 1); }), err::Overflow);
}

// --- Link geometry and bands ------------------------------------------------------------------

TEST(LinkGeometry, RunsBetweenTheFacingRims)
{
    using drawing::GridPlace;
    using drawing::LinkEnds;
    // To the layer on the left, the ordinary case: the second form applies.
    EXPECT_EQ(drawing::linkEnds(3000, GridPlace {2, 1, 1000}, GridPlace {1, 1, 1000}),
              (LinkEnds {QPoint(4250, 500), QPoint(1750, 500)}));
    // Both nodes in one column: the band ends at the evidence node's centre.
    EXPECT_EQ(drawing::linkEnds(3000, GridPlace {1, 1, 1000}, GridPlace {1, 3, 1000}),
              (LinkEnds {QPoint(1500, 750), QPoint(1500, 2500)}));
    // Down to the left: from N's rim towards T to T's rim towards N, 250 · (∓3, ±2) / √13 away.
    EXPECT_EQ(drawing::linkEnds(3000, GridPlace {2, 1, 1000}, GridPlace {1, 3, 1000}),
              (LinkEnds {QPoint(4292, 639), QPoint(1708, 2361)}));
}

TEST(LinkBands, StrokeCountsAtTheBoundsAndBeyond)
{
    EXPECT_EQ(drawing::bandStrokes(0.45), 2);
    EXPECT_EQ(drawing::bandStrokes(0.55), 2);
    EXPECT_EQ(drawing::bandStrokes(0.6), 1) << "0.1 × 10 comes out just below 1";
    EXPECT_EQ(drawing::bandStrokes(1.0), 6);
    EXPECT_EQ(errorNumberOf([] { drawing::bandStrokes(std::numeric_limits<double>::quiet_NaN()); }), err::Overflow);
}

TEST_F(NetworkDrawing, BandsShowTheDegreeOfTruthInThicknessAndColour)
{
    buildTwoColumns();
    EXPECT_EQ(bandFor(0.5), neutralBandEdges(kHighlight, kShadow));
    EXPECT_EQ(bandFor(0.4), (std::vector<Stroke> {{0, kHighlight}, {-15, kShadow}}));
    EXPECT_EQ(bandFor(0.3), (std::vector<Stroke> {{0, kNegative}, {-15, kNegative}, {15, kNegative},
                                                  {-30, kNegative}, {30, kHighlight}, {-45, kShadow}}));
    EXPECT_EQ(bandFor(0.7), (std::vector<Stroke> {{0, kPositive}, {-15, kPositive}, {15, kHighlight}, {-30, kShadow}}));

    std::vector<Stroke> expected;
    for (int i = 1; i <= 5; ++i) {
        expected.emplace_back((i - 1) * 15, kNegative);
        expected.emplace_back(-i * 15, kNegative);
    }
    expected.emplace_back(75, kHighlight);
    expected.emplace_back(-90, kShadow);
    EXPECT_EQ(bandFor(0.0), expected);

    // Every stroke runs the whole band, offsets vertical.
    for (const auto& line : linkPassLines()) {
        EXPECT_EQ(line.from.x(), 4250);
        EXPECT_EQ(line.to.x(), 1750);
        EXPECT_EQ(line.to.y(), line.from.y());
        EXPECT_EQ(line.state.drawStyle, platform::drawstyle::Solid);
    }
}

TEST_F(NetworkDrawing, LinksWithoutAUsableAnswerAreGrooves)
{
    buildTwoColumns();
    const std::vector<Stroke> groove {{0, kHighlight}, {-15, kShadow}};
    link->DOT = 1.0;
    answer(*evidence[0], 1.0);
    ASSERT_TRUE(redraw());
    EXPECT_EQ(strokes(), groove) << "outside the viewer every link is a groove";

    basGlobal::ApplicationMode = 1;
    evidence[0]->Answered = false;
    redraw();
    EXPECT_EQ(strokes(), groove) << "unanswered without default";

    evidence[0]->NoDefault = false;
    redraw();
    EXPECT_EQ(strokes().size(), 12u) << "an unanswered node with a default has a usable answer";

    for (const QString& control : {QStringLiteral("Irrelevant"), QStringLiteral("need info")}) {
        evidence[0]->Controls().Clear();
        switchOn(*evidence[0], control);
        redraw();
        EXPECT_EQ(strokes(), groove) << control.toStdString();
    }
}

TEST_F(NetworkDrawing, EdgesSwapOnlyWhileBothEndsAreSelected)
{
    buildTwoColumns();
    basGlobal::ApplicationMode = 1;
    answer(*evidence[0], 1.0);
    link->DOT = 0.5;

    holders[0]->setSelected(true);
    network.DrawNetwork(canvas);
    EXPECT_EQ(strokes(), neutralBandEdges(kHighlight, kShadow));

    evidence[0]->setSelected(true);
    redraw();
    EXPECT_EQ(strokes(), neutralBandEdges(kShadow, kHighlight));

    basGlobal::ApplicationMode = 0;
    redraw();
    EXPECT_EQ(strokes(), (std::vector<Stroke> {{0, kShadow}, {-15, kHighlight}})) << "groove edges swap too";
}

// --- Nodes ------------------------------------------------------------------------------------

TEST_F(NetworkDrawing, NodesAreBevelledCirclesFilledWithTheirColour)
{
    buildTwoColumns();
    holders[1]->Color = platform::colours::rgb(9, 9, 9);
    ASSERT_TRUE(network.DrawNetwork(canvas));

    const auto circles = canvas.circles();
    ASSERT_EQ(circles.size(), 12u);
    const auto& outline = circles[0];
    EXPECT_EQ(outline.figure.centre, QPointF(1500, 500));
    EXPECT_EQ(outline.figure.radius, 250);
    EXPECT_EQ(outline.figure.colour, kShadow);
    EXPECT_FALSE(outline.figure.arc);
    EXPECT_EQ(outline.state.fillColor, kNode) << "colour 0 takes the node colour setting";
    EXPECT_EQ(outline.state.fillStyle, platform::fillstyle::Solid);
    EXPECT_EQ(outline.state.drawStyle, platform::drawstyle::Solid);

    const auto& bevel = circles[1];
    EXPECT_EQ(bevel.figure.centre, QPointF(1500, 500));
    EXPECT_EQ(bevel.figure.colour, kHighlight);
    EXPECT_TRUE(bevel.figure.arc);
    EXPECT_DOUBLE_EQ(bevel.figure.startAngle, kArcStart);
    EXPECT_DOUBLE_EQ(bevel.figure.endAngle, kArcEnd);
    EXPECT_FALSE(bevel.figure.closed());

    EXPECT_EQ(circles[8].figure.centre, QPointF(4500, 1500));
    EXPECT_EQ(circles[8].state.fillColor, platform::colours::rgb(9, 9, 9));

    // Links lie beneath all nodes.
    EXPECT_TRUE(std::holds_alternative<RecordingCanvas::LineCall>(canvas.primitives().front()));
}

TEST_F(NetworkDrawing, SelectedNodesShowAnInnerCircleBevelledTheOtherWay)
{
    auto node = build.node(1);
    node->setSelected(true);
    network.DrawNetwork(canvas);

    const auto circles = canvas.circles();
    ASSERT_EQ(circles.size(), 4u);
    const auto& inner = circles[2];
    EXPECT_EQ(circles[0].figure.radius, 750); // one node on 6,000 × 3,000
    EXPECT_EQ(inner.figure.radius, 562.5);
    EXPECT_EQ(inner.figure.colour, kHighlight);
    EXPECT_FALSE(inner.figure.arc);
    EXPECT_EQ(inner.state.fillColor, kBack);
    EXPECT_EQ(circles[3].figure.colour, kShadow);
    EXPECT_TRUE(circles[3].figure.arc);
    EXPECT_EQ(canvas.FillColor(), kNode) << "the fill goes back to the node colour";
}

TEST_F(NetworkDrawing, TrianglesMarkHigherLevelAndExternalNodes)
{
    RecordingCanvas square(2400, 1200); // one node: W 2,400, H 1,200, R 300, centre (1,200, 600)
    auto node = build.node(1);
    auto higher = std::make_shared<Node>();
    node->HigherLevelNodes.Add(higher);
    node->setExternal(true);
    ASSERT_TRUE(network.DrawNetwork(square));

    using Line = std::tuple<QPointF, QPointF, qint32>;
    std::vector<Line> lines;
    for (const auto& line : square.lines())
        lines.emplace_back(line.from, line.to, line.colour);
    EXPECT_EQ(lines, (std::vector<Line> {
                         // Above: apex 600 − 504.9… rounded, base 375 above the centre.
                         {QPointF(1200, 95), QPointF(1125, 225), kShadow},
                         {QPointF(1125, 225), QPointF(1275, 225), kHighlight},
                         {QPointF(1275, 225), QPointF(1200, 95), kHighlight},
                         // Below: the mirror image, its base in the shadow colour.
                         {QPointF(1200, 1105), QPointF(1125, 975), kShadow},
                         {QPointF(1125, 975), QPointF(1275, 975), kShadow},
                         {QPointF(1275, 975), QPointF(1200, 1105), kHighlight},
                     }));
}

TEST_F(NetworkDrawing, DisabledNodesAreLeftOutInTheViewerAndDottedOutsideIt)
{
    buildTwoColumns();
    for (int i = 0; i < 3; ++i) {
        evidence[i]->Name()->setText(QStringLiteral("E%1").arg(i + 1));
        holders[i]->Name()->setText(QStringLiteral("H%1").arg(i + 1));
    }
    addLink(holders[1], evidence[1]);
    evidence[0]->setEnabled(false); // the evidence of the first link
    holders[1]->setEnabled(false);  // the holder of the second link
    evidence[0]->HigherLevelNodes.Add(holders[2]);

    basGlobal::ApplicationMode = 1;
    ASSERT_TRUE(network.DrawNetwork(canvas));
    EXPECT_TRUE(linkPassLines().empty());
    EXPECT_TRUE(canvas.lines().empty()) << "nor the disabled node's mark";
    EXPECT_EQ(canvas.circles().size(), 8u);
    EXPECT_FALSE(canvas.findPrint(QStringLiteral("E1")));
    EXPECT_FALSE(canvas.findPrint(QStringLiteral("H2")));
    EXPECT_TRUE(canvas.findPrint(QStringLiteral("E2")));

    basGlobal::ApplicationMode = 0;
    ASSERT_TRUE(redraw());
    const auto links = linkPassLines();
    ASSERT_EQ(links.size(), 4u);
    for (const auto& line : links)
        EXPECT_EQ(line.state.drawStyle, platform::drawstyle::Dot);

    const auto circles = canvas.circles();
    ASSERT_EQ(circles.size(), 12u);
    for (std::size_t i : {0u, 1u, 8u, 9u}) { // E1 and H2, outline and bevel
        EXPECT_EQ(circles[i].state.drawStyle, platform::drawstyle::Dot);
        EXPECT_EQ(circles[i].state.fillColor, kBack);
    }
    EXPECT_EQ(circles[2].state.drawStyle, platform::drawstyle::Solid);
    EXPECT_EQ(circles[2].state.fillColor, kNode);
    const auto marks = canvas.lines();
    ASSERT_EQ(marks.size(), 7u);
    EXPECT_EQ(marks.back().state.drawStyle, platform::drawstyle::Dot) << "the mark of a disabled node is dotted";
    EXPECT_FALSE(canvas.findPrint(QStringLiteral("E1")));
    EXPECT_FALSE(canvas.findPrint(QStringLiteral("H2")));
    EXPECT_EQ(canvas.DrawStyle(), platform::drawstyle::Solid);
}

TEST_F(NetworkDrawing, OverviewNodesAreOctagonsWhoseEdgesSwapWhenSelected)
{
    network.Overview = true;
    auto node = build.node(1); // centre (3,000, 1,500), R 750
    ASSERT_TRUE(network.DrawNetwork(canvas));
    EXPECT_TRUE(canvas.circles().empty());

    const auto edges = canvas.lines();
    ASSERT_EQ(edges.size(), 8u);
    EXPECT_EQ(edges[0].from, QPointF(3693, 1787)) << "the first corner lies below right, at 22.5°";
    EXPECT_EQ(edges[2].from, QPointF(2713, 2193));
    for (std::size_t j = 0; j < 8; ++j) {
        EXPECT_EQ(edges[j].to, edges[(j + 1) % 8].from) << "edge " << j + 1;
        const bool upperLeft = j >= 2 && j <= 5; // edges 3 to 6
        EXPECT_EQ(edges[j].colour, upperLeft ? kShadow : kHighlight) << "edge " << j + 1;
    }

    node->setSelected(true);
    redraw();
    const auto selected = canvas.lines();
    ASSERT_EQ(selected.size(), 8u);
    for (std::size_t j = 0; j < 8; ++j)
        EXPECT_EQ(selected[j].colour, j >= 2 && j <= 5 ? kHighlight : kShadow) << "edge " << j + 1;
}

// --- Names and captions ---------------------------------------------------------------------
// The recording canvas measures 100 twips a character and 240 a line at 8 points.

TEST_F(NetworkDrawing, NamesAreCentredLineByLineOnTheNode)
{
    auto node = build.node(1, "Alpha"); // centre (3,000, 1,500)
    node->Name()->ForeColor = platform::colours::rgb(200, 0, 0);
    ASSERT_TRUE(network.DrawNetwork(canvas));
    const auto* alone = canvas.findPrint(QStringLiteral("Alpha"));
    ASSERT_TRUE(alone) << "a one-line name prints";
    EXPECT_EQ(alone->at, QPointF(2750, 1380));
    EXPECT_EQ(alone->state.foreColor, platform::colours::rgb(200, 0, 0));
    EXPECT_EQ(alone->state.font.name, QStringLiteral("MS Sans Serif"));

    node->Name()->setText(QStringLiteral("Alpha\rBe"));
    redraw();
    ASSERT_EQ(canvas.prints().size(), 2u);
    EXPECT_EQ(canvas.prints()[0].at, QPointF(2750, 1260));
    EXPECT_EQ(canvas.prints()[1].text, QStringLiteral("Be"));
    EXPECT_EQ(canvas.prints()[1].at, QPointF(2900, 1500));

    // A stored line break is one break; a carriage return inside quotes splits nothing.
    EXPECT_EQ(drawing::nameLines(QStringLiteral("Alpha\r\nBe")), (QStringList {"Alpha", "Be"}));
    EXPECT_EQ(drawing::nameLines(QStringLiteral("\"a\rb\"\rc")), (QStringList {"\"a\rb\"", "c"}));
    EXPECT_EQ(drawing::nameLines(QString()), QStringList {QString()});
}

TEST_F(NetworkDrawing, AVeryLongNameOrCaptionIsCutToWhatTheSurfaceCanShow)
{
    // Centred on the 6,000-twip surface, 100 twips a character, a line of more than 64.8
    // characters (two surfaces' halves and a line's height at either end) hides both its ends:
    // it is cut to the first characters that still do, and only those are laid out.
    basGlobal::ApplicationMode = 1;
    const QString longName(2'000'000, u'n');
    auto node = build.node(1);
    node->Name()->setText(longName + QStringLiteral("\rshort"));
    giveAnswers(*node, {QString(visibletext::charactersAcross(canvas.ScaleWidth()) + 1, u'y'), QStringLiteral("No")});
    answer(*node, 1.0);
    ASSERT_TRUE(network.DrawNetwork(canvas));

    const auto prints = canvas.prints();
    ASSERT_EQ(prints.size(), 3u);
    EXPECT_EQ(prints[0].text, QString(72, u'n') + QChar(0x2026));
    EXPECT_EQ(prints[0].at.x(), 3000 - 73 * 100 / 2) << "centred as it is shown";
    EXPECT_EQ(prints[1].text, QStringLiteral("short")) << "the lines that fit stay whole";
    EXPECT_EQ(prints[2].text, QString(72, u'y') + QChar(0x2026));
    EXPECT_EQ(node->Name()->Text().size(), longName.size() + 6) << "the name itself stays whole";
    EXPECT_LT(canvas.laidOutCharacters(), 1000);

    // A line whose ends show is laid out whole, however long: on a surface ten times as wide
    // a line of 300 characters reaches neither edge.
    RecordingCanvas wide(60000, 3000);
    node->Name()->setText(QString(300, u'n'));
    ASSERT_TRUE(network.DrawNetwork(wide));
    EXPECT_EQ(wide.prints().front().text, QString(300, u'n'));
    EXPECT_EQ(wide.prints().front().at.x(), 30000 - 300 * 100 / 2);
}

TEST(VisibleText, CutsOnlyTextsLongerThanTheLimitAndKeepsSurrogatePairsWhole)
{
    EXPECT_EQ(visibletext::cutToCharacters(QStringLiteral("abc"), 3), QStringLiteral("abc"));
    EXPECT_EQ(visibletext::cutToCharacters(QStringLiteral("abcd"), 3), QStringLiteral("abc") + QChar(0x2026));
    const QString withPair = QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("cd");
    EXPECT_EQ(visibletext::cutToCharacters(withPair, 3), QStringLiteral("ab") + QChar(0x2026));
    EXPECT_EQ(visibletext::cutToCharacters(withPair, 4), withPair.left(4) + QChar(0x2026));
    EXPECT_EQ(visibletext::charactersAcross(0), 256);
    EXPECT_EQ(visibletext::charactersAcross(1500), 800);
}

TEST_F(NetworkDrawing, NamesTakeTheirLabelFontAndAnEmptyFontNameTheDefault)
{
    basGlobal::DefaultFontName = QStringLiteral("Tahoma");
    auto node = build.node(1, "Alpha");
    const auto font = node->Name()->Font();
    font->Name.clear();
    font->Size = 16;
    font->Bold = font->Italic = font->Underline = font->Strikethru = true;
    ASSERT_TRUE(network.DrawNetwork(canvas));

    EXPECT_EQ(font->Name, QStringLiteral("Tahoma")) << "the label keeps the default font name";
    const auto* name = canvas.findPrint(QStringLiteral("Alpha"));
    ASSERT_TRUE(name);
    EXPECT_EQ(name->state.font, (platform::FontDescription {QStringLiteral("Tahoma"), 16, true, true, true, true}));
    EXPECT_EQ(name->at, QPointF(3000 - 500, 1500 - 240)) << "measured in its own font";
}

TEST_F(NetworkDrawing, CaptionsSitBelowTheCentreInTheAnswersFont)
{
    basGlobal::ApplicationMode = 1;
    auto node = build.node(1, "Alpha\rBe");
    node->Name()->ForeColor = platform::colours::rgb(200, 0, 0);
    node->Name()->Font()->Bold = true;
    node->Name()->Font()->Strikethru = true;
    giveAnswers(*node, {QStringLiteral("Yes"), QStringLiteral("No")});
    const auto yes = node->Answers.Item(1);
    yes->ForeColor = platform::colours::rgb(0, 0, 200);
    yes->Font()->Name = QStringLiteral("Courier");
    yes->Font()->Size = 12;
    yes->Font()->Italic = true;
    yes->Font()->Strikethru = true;
    answer(*node, 1.0);
    ASSERT_TRUE(network.DrawNetwork(canvas));

    const auto prints = canvas.prints();
    ASSERT_EQ(prints.size(), 3u);
    EXPECT_EQ(prints[0].at, QPointF(2750, 1020)) << "the name ends at the centre line";
    EXPECT_EQ(prints[1].at, QPointF(2900, 1260));
    EXPECT_EQ(prints[2].text, QStringLiteral("Yes"));
    EXPECT_EQ(prints[2].at, QPointF(3000 - 225, 1530)) << "three characters of 150 at 12 points";
    EXPECT_EQ(prints[2].state.foreColor, platform::colours::rgb(0, 0, 200));
    EXPECT_EQ(prints[2].state.font, (platform::FontDescription {QStringLiteral("Courier"), 12, false, true, false, false}));

    // Without an answer label the caption keeps the name's colour and font, styles off.
    node->Answered = false;
    switchOn(*node, QStringLiteral("NEED INFO"));
    redraw();
    const auto* needInfo = canvas.findPrint(QStringLiteral("Need Info"));
    ASSERT_TRUE(needInfo);
    EXPECT_EQ(needInfo->state.foreColor, platform::colours::rgb(200, 0, 0));
    EXPECT_EQ(needInfo->state.font, platform::FontDescription {});
    EXPECT_EQ(needInfo->at, QPointF(3000 - 450, 1530));
}

TEST_F(NetworkDrawing, CaptionsNeedAllThreeSwitchesAndAStatus)
{
    auto node = build.node(1, "Alpha");
    giveAnswers(*node, {QStringLiteral("Yes"), QStringLiteral("No")});
    answer(*node, 0.0);
    const auto printsAfterDrawing = [&] {
        redraw();
        return canvas.prints().size();
    };

    basGlobal::ApplicationMode = 1;
    EXPECT_EQ(printsAfterDrawing(), 2u);
    EXPECT_TRUE(canvas.findPrint(QStringLiteral("No")));

    basGlobal::Settings.ShowAnswer = false;
    EXPECT_EQ(printsAfterDrawing(), 1u);
    EXPECT_EQ(canvas.prints()[0].at, QPointF(2750, 1380)) << "the name is centred";
    basGlobal::Settings.ShowAnswer = true;

    network.ShowAnswer = false;
    EXPECT_EQ(printsAfterDrawing(), 1u);
    network.ShowAnswer = true;

    basGlobal::ApplicationMode = 0;
    EXPECT_EQ(printsAfterDrawing(), 1u);
    basGlobal::ApplicationMode = 1;

    node->Answered = false; // no answer, no default, nothing pending
    EXPECT_EQ(printsAfterDrawing(), 1u);

    node->NoDefault = false; // the default answer is shown
    node->Default = 1.0;
    EXPECT_EQ(printsAfterDrawing(), 2u);
    EXPECT_TRUE(canvas.findPrint(QStringLiteral("Yes")));
}

TEST_F(NetworkDrawing, CaptionTextsFollowTheStatusInOrder)
{
    auto node = build.node(1);
    auto evidenceNode = build.node(1);
    const auto caption = [&] {
        RequiredNodes required;
        return drawing::chooseCaption(node, required).text;
    };

    switchOn(*node, QStringLiteral("IRRELEVANT"));
    EXPECT_EQ(caption(), QStringLiteral("Irrelevant"));

    answer(*node, 0.5); // no answer options: nothing to name, but the name still sits above the centre
    RequiredNodes required;
    EXPECT_FALSE(drawing::chooseCaption(node, required).answerLabel);
    basGlobal::ApplicationMode = 1;
    ASSERT_TRUE(redraw());
    ASSERT_EQ(canvas.prints().size(), 3u); // "Node 1" centred at (3,000, 750), its caption, "Node 2"
    EXPECT_EQ(canvas.prints()[0].at, QPointF(3000 - 300, 750 - 240));
    EXPECT_EQ(canvas.prints()[1].text, QString());
    EXPECT_EQ(canvas.prints()[1].at, QPointF(3000, 780));

    giveAnswers(*node, {QStringLiteral("Yes"), QStringLiteral("No")});
    answer(*node, 0.0);
    EXPECT_EQ(caption(), QStringLiteral("No")) << "an answer outranks Irrelevant";
    EXPECT_EQ(drawing::chooseCaption(node, required).answerLabel, node->Answers.Item(2));

    node->Answered = false;
    node->Links().Add(std::make_shared<Link>());
    node->Links().Item(1)->ConnectionTo = evidenceNode;
    switchOn(*evidenceNode, QStringLiteral("NEED INFO"));
    EXPECT_EQ(caption(), QStringLiteral("Required")) << "irrelevant and required, no answer nor default";

    node->NoDefault = false;
    node->Default = 1.0;
    EXPECT_EQ(caption(), QStringLiteral("Yes")) << "the default outranks Required";

    switchOn(*node, QStringLiteral("NEED INFO"));
    answer(*node, 1.0);
    EXPECT_EQ(caption(), QStringLiteral("Need Info")) << "in need of information outranks the answer";
}

namespace {

// Random links among the nodes, forward and back (cycles), lower-level nodes, a few nodes in
// need of information (one in `needInfoOdds`), and a few links that lead nowhere. The cycles
// are let go at the end.
class RandomNodes {
public:
    RandomNodes(QRandomGenerator& random, int count, quint32 needInfoOdds)
    {
        for (int i = 0; i < count; ++i)
            nodes.push_back(std::make_shared<Node>());
        for (const auto& node : nodes) {
            for (quint32 links = random.bounded(3); links > 0; --links) {
                auto link = std::make_shared<Link>();
                if (random.bounded(400) != 0)
                    link->ConnectionTo = nodes[random.bounded(quint32(nodes.size()))];
                node->Links().Add(std::move(link));
            }
            if (random.bounded(20) == 0)
                node->LowerLevelNode = nodes[random.bounded(quint32(nodes.size()))];
            if (random.bounded(needInfoOdds) == 0)
                test::switchOn(*node, QStringLiteral("NEED INFO"));
        }
    }
    ~RandomNodes()
    {
        for (const auto& node : nodes) {
            node->Links().Clear();
            node->LowerLevelNode.reset();
        }
    }
    RandomNodes(const RandomNodes&) = delete;
    RandomNodes& operator=(const RandomNodes&) = delete;

    std::vector<std::shared_ptr<Node>> nodes;
};

// Whether a node is required as `ask` finds it, or nothing when asking fails.
template <class Ask>
std::optional<bool> requiredOrFailure(Ask&& ask)
{
    try {
        return ask();
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

} // namespace

TEST(NodePlaces, AgreeWithEachNodesIndexForCloseScatteredAndRepeatedNumbers)
{
    QRandomGenerator random(11);
    const auto network = clsNetwork::create();
    for (int i = 0; i < 500; ++i)
        network->AddNode(1);
    const auto layer = network->Layers().Item(1);
    auto& nodes = layer->Nodes();
    nodes.Add(nullptr);
    const auto stranger = std::make_shared<Node>(); // names the layer, but is not one of its nodes
    stranger->Layer = layer;
    const auto number = [&](const std::function<qint32(qint32)>& numberOf) {
        for (qint32 i = 1; i <= 500; ++i)
            nodes.Item(i)->NodeNumber = numberOf(i);
    };
    const std::pair<const char*, std::function<qint32(qint32)>> numberings[] = {
        {"through the network", [](qint32 i) { return 1000 + i; }},
        {"close, some repeated", [&](qint32) { return qint32(random.bounded(600)) - 50; }},
        {"scattered", [&](qint32) { return qint32(random.generate() >> 1) - (1 << 30); }},
        {"scattered, some repeated", [&](qint32 i) { return i % 7 == 0 ? 3 : qint32(random.generate()); }},
    };
    for (const auto& [numbering, numberOf] : numberings) {
        number(numberOf);
        stranger->NodeNumber = qint32(random.generate());
        NodePlaces places;
        for (qint32 i = 1; i <= 500; ++i)
            ASSERT_EQ(places.of(*nodes.Item(i)), nodes.Item(i)->Index()) << numbering << " " << i;
        EXPECT_EQ(places.of(*stranger), stranger->Index()) << numbering;
    }
}

TEST(RequiredNodes, AgreeWithEachNodesOwnWalkThroughCyclesLevelsAndBrokenLinks)
{
    QRandomGenerator random(37);
    for (int round = 0; round < 20; ++round) {
        const RandomNodes network(random, 300, round % 2 ? 60 : 600);
        const auto& nodes = network.nodes;
        RequiredNodes required;
        for (quint32 i = 0; i < nodes.size(); ++i) {
            const auto& node = nodes[(i * 7919) % nodes.size()];
            ASSERT_EQ(requiredOrFailure([&] { return required.of(*node); }),
                      requiredOrFailure([&] { return node->Required(); }))
                << round << " " << i;
        }
    }
}

TEST(RequiredNodes, AWalkThatFailsPartWayIsWalkedAgainWhenAskedAgain)
{
    // Memory runs out at each allocation of the walks in turn; the nodes are asked again the
    // other way round, so that their walks come to the nodes in another order.
    QRandomGenerator random(43);
    const RandomNodes network(random, 60, 8);
    for (qint64 allowed = 0;; ++allowed) {
        RequiredNodes required;
        bool failed = false;
        try {
            const test::RefusedAllocations refused(allowed);
            for (const auto& node : network.nodes)
                requiredOrFailure([&] { return required.of(*node); });
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        for (auto node = network.nodes.rbegin(); node != network.nodes.rend(); ++node) {
            ASSERT_EQ(requiredOrFailure([&] { return required.of(**node); }),
                      requiredOrFailure([&] { return (*node)->Required(); }))
                << allowed;
        }
        if (!failed)
            break;
    }
}

// --- Surfaces, empty networks and failures ------------------------------------------------------

TEST_F(NetworkDrawing, ASurfaceWiderThanSixteenBitsDrawsCompletely)
{
    RecordingCanvas wide(40000, 3000);
    auto left = build.node(1, "L");
    auto right = build.node(2, "R");
    addLink(right, left);
    right->setExternal(true);
    ASSERT_TRUE(network.DrawNetwork(wide));

    const auto circles = wide.circles();
    ASSERT_EQ(circles.size(), 4u);
    EXPECT_EQ(circles[0].figure.centre, QPointF(10000, 1500));
    EXPECT_EQ(circles[2].figure.centre, QPointF(30000, 1500));
    EXPECT_EQ(circles[2].figure.radius, 750);
    const auto lines = wide.lines();
    ASSERT_EQ(lines.size(), 5u); // the groove and the external mark
    EXPECT_EQ(lines[0].from, QPointF(29250, 1500));
    EXPECT_EQ(lines[0].to, QPointF(10750, 1500));
    EXPECT_EQ(lines[2].from, QPointF(30000, 2762)) << "apex 750 + 187.5 + 324.8 below the centre";
    EXPECT_EQ(wide.findPrint(QStringLiteral("R"))->at, QPointF(30000 - 50, 1500 - 120));
}

TEST_F(NetworkDrawing, AnEmptyNetworkDrawsNothing)
{
    EXPECT_TRUE(network.DrawNetwork(canvas));
    network.AddLayer(); // a layer without nodes draws nothing either
    EXPECT_TRUE(network.DrawNetwork(canvas));
    EXPECT_TRUE(canvas.primitives().empty());
}

TEST_F(NetworkDrawing, ARunTimeErrorEndsTheDrawingAndIsReported)
{
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    basLibrary::DebugMode = true;
    buildTwoColumns();
    addLink(holders[1], evidence[1])->ConnectionTo.reset();

    EXPECT_FALSE(network.DrawNetwork(canvas));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text,
              QStringLiteral("Error in routine: DrawNetwork in module: clsNetwork\r[91] ") + RuntimeError(91).Description());
    EXPECT_EQ(canvas.primitives().size(), 2u) << "the first link's groove stays, nothing after the failure";
}
