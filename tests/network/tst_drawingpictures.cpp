// Draws a few sample networks through the QPainter canvas and keeps them as PNG files in the
// build folder (pictures/network-*.png), so a person can look at them after a run.

#include "DrawingTestSupport.h"

#include "model/TextLabel.h"
#include "platform/ImageCanvas.h"
#include "platform/Service.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/InTurnCanvas.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QPainter>
#include <QImage>
#include <gtest/gtest.h>
#include <sched.h>

using namespace kelvane;
using kelvane::test::answer;
using kelvane::test::giveAnswers;
using kelvane::test::switchOn;

namespace {

QRgb pixelOf(qint32 colour)
{
    const qint32 plain = platform::colours::resolve(colour);
    return qRgb(platform::colours::red(plain), platform::colours::green(plain), platform::colours::blue(plain));
}

int countOf(const QImage& image, QRgb colour)
{
    int found = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            found += image.pixel(x, y) == colour;
    return found;
}

// A small knowledge base: four findings, two intermediate questions, one conclusion; the
// links affirm and deny strongly, so answers show as coloured bands.
class DrawingPictures : public kelvane::test::DrawingTest {
protected:
    DrawingPictures()
    {
        const QStringList findings {"Fever", "Cough", "Rash", "Travel\rabroad"};
        for (const QString& name : findings)
            evidence.push_back(namedNode(1, name));
        middle.push_back(namedNode(2, QStringLiteral("Infection")));
        middle.push_back(namedNode(2, QStringLiteral("Allergy")));
        conclusion = namedNode(3, QStringLiteral("See a\rdoctor"));
        strongLink(middle[0], evidence[0]);
        strongLink(middle[0], evidence[1]);
        strongLink(middle[0], evidence[3]);
        strongLink(middle[1], evidence[1]);
        strongLink(middle[1], evidence[2]);
        strongLink(conclusion, middle[0]);
        strongLink(conclusion, middle[1]);
    }

    std::shared_ptr<Node> namedNode(qint16 layer, const QString& name)
    {
        auto node = build.node(layer, name.toStdString());
        giveAnswers(*node, {QStringLiteral("Yes"), QStringLiteral("Maybe"), QStringLiteral("No")});
        return node;
    }

    void strongLink(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to)
    {
        auto link = addLink(from, to);
        link->WeightDeny = 0.9;
        link->WeightAffirm = 0.9;
        // Links carry the degree of truth of their evidence's answer, as the inference leaves them.
        link->DOT = 0.5;
    }

    // So many nodes, every fifth disabled, every third selected, half of them linked, that they
    // are drawn in runs side by side.
    void addCrowd(int count)
    {
        for (int i = 0; i < count; ++i) {
            const auto node = namedNode(qint16(1 + i % 4), QStringLiteral("Crowd %1").arg(i));
            node->setEnabled(i % 5 != 0);
            node->setSelected(i % 3 == 0);
        }
        const auto& layers = network.Layers();
        for (qint32 layer = 2; layer <= layers.Count(); ++layer) {
            const auto& nodes = layers.Item(layer)->Nodes();
            const auto& below = layers.Item(layer - 1)->Nodes();
            for (qsizetype i = 1; i <= nodes.Count(); i += 2) {
                auto link = addLink(nodes.Item(i), below.Item((i * 7919) % below.Count() + 1));
                link->DOT = double(i % 11) / 10.0;
            }
        }
    }

    // Draws the network on a cleared picture and keeps it as pictures/network-<name>.png.
    QImage render(const QString& name)
    {
        platform::ImageCanvas picture(QSize(640, 400));
        auto& canvas = picture.canvas();
        canvas.setBackColor(basGlobal::Settings.BackColour);
        canvas.Cls();
        EXPECT_TRUE(network.DrawNetwork(canvas)) << name.toStdString();
        const QString folder = kelvane::test::buildPath(QStringLiteral("pictures"));
        QDir().mkpath(folder);
        EXPECT_TRUE(picture.savePng(folder + QStringLiteral("/network-") + name + QStringLiteral(".png")));
        return picture.image();
    }

    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    std::vector<std::shared_ptr<Node>> evidence;
    std::vector<std::shared_ptr<Node>> middle;
    std::shared_ptr<Node> conclusion;
};

} // namespace

TEST_F(DrawingPictures, AnsweredNetworkShowsBandsAndCaptions)
{
    basGlobal::ApplicationMode = 1;
    evidence[0]->setAnswer(1.0);
    evidence[1]->setAnswer(1.0);
    evidence[2]->setAnswer(0.0);
    switchOn(*evidence[3], QStringLiteral("NEED INFO"));
    middle[1]->Color = platform::colours::rgb(255, 230, 160);
    const QImage image = render(QStringLiteral("answered"));
    EXPECT_GT(countOf(image, pixelOf(basGlobal::Settings.PositiveColour)), 100);
    EXPECT_GT(countOf(image, pixelOf(basGlobal::Settings.NegativeColour)), 100);
    EXPECT_GT(countOf(image, pixelOf(middle[1]->Color)), 1000);
}

TEST_F(DrawingPictures, UnansweredNetworkShowsGroovesOnly)
{
    basGlobal::ApplicationMode = 1;
    const QImage image = render(QStringLiteral("unanswered"));
    EXPECT_EQ(countOf(image, pixelOf(basGlobal::Settings.PositiveColour)), 0);
    EXPECT_EQ(countOf(image, pixelOf(basGlobal::Settings.NegativeColour)), 0);
    EXPECT_EQ(countOf(image, pixelOf(basGlobal::Settings.NeutralColour)), 0);
    EXPECT_GT(countOf(image, pixelOf(basGlobal::Settings.HighlightColour)), 100);
}

TEST_F(DrawingPictures, SelectedNodesAndTheirLinkSwapTheirBevels)
{
    middle[0]->setSelected(true);
    evidence[1]->setSelected(true);
    render(QStringLiteral("selected"));
}

TEST_F(DrawingPictures, DisabledNodesAreDottedWhileEditing)
{
    middle[1]->setEnabled(false);
    evidence[2]->setEnabled(false);
    const QImage editing = render(QStringLiteral("disabled-editing"));
    basGlobal::ApplicationMode = 1;
    const QImage viewing = render(QStringLiteral("disabled-viewing"));
    EXPECT_GT(countOf(editing, pixelOf(basGlobal::Settings.ShadowColour)),
              countOf(viewing, pixelOf(basGlobal::Settings.ShadowColour)))
        << "the viewer leaves the disabled nodes and their links out";
}

TEST_F(DrawingPictures, OverviewNetworkShowsOctagonsAndMarks)
{
    network.Overview = true;
    middle[0]->setExternal(true);
    middle[1]->HigherLevelNodes.Add(conclusion);
    conclusion->setSelected(true);
    render(QStringLiteral("overview"));
}

namespace {

// The network drawn on a cleared picture by the canvas of the given kind, with the drawing's
// result and the canvas's state afterwards.
struct Drawn {
    QImage image;
    bool whole = false;
    platform::CanvasState state;
    QPointF position;
};

template <class CanvasKind>
Drawn drawOn(clsNetwork& network, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    CanvasKind canvas(painter);
    canvas.setBackColor(basGlobal::Settings.BackColour);
    canvas.Cls();
    Drawn drawn;
    drawn.whole = network.DrawNetwork(canvas);
    drawn.state = canvas.state();
    drawn.position = QPointF(canvas.CurrentX(), canvas.CurrentY());
    painter.end();
    drawn.image = image;
    return drawn;
}

// Holds this process to some of the processors it may run on while it lives, as taskset does.
class HeldToProcessors {
public:
    explicit HeldToProcessors(int count)
    {
        sched_getaffinity(0, sizeof m_before, &m_before);
        cpu_set_t held;
        CPU_ZERO(&held);
        for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < count; ++cpu) {
            if (CPU_ISSET(cpu, &m_before)) {
                CPU_SET(cpu, &held);
                ++taken;
            }
        }
        sched_setaffinity(0, sizeof held, &held);
    }
    ~HeldToProcessors() { sched_setaffinity(0, sizeof m_before, &m_before); }
    HeldToProcessors(const HeldToProcessors&) = delete;
    HeldToProcessors& operator=(const HeldToProcessors&) = delete;

private:
    cpu_set_t m_before {};
};

void expectTheSamePicture(clsNetwork& network, QSize size)
{
    const Drawn layered = drawOn<platform::PainterCanvas>(network, size);
    const Drawn inTurn = drawOn<kelvane::test::InTurnCanvas>(network, size);
    EXPECT_EQ(layered.whole, inTurn.whole);
    EXPECT_TRUE(layered.state == inTurn.state);
    EXPECT_EQ(layered.position, inTurn.position);
    ASSERT_EQ(layered.image.size(), inTurn.image.size());
    int differing = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            differing += layered.image.pixel(x, y) != inTurn.image.pixel(x, y);
    EXPECT_EQ(differing, 0) << "pixels that differ between the layers laid over each other and drawing in turn";
}

} // namespace

TEST_F(DrawingPictures, LinksAndNodesDrawnSideBySideGiveThePictureOfDrawingThemInTurn)
{
    // Every kind of figure: bands of every strength, grooves, dotted links and nodes, bevels
    // swapped by selection, marks, captions and names of several lines, crowded layers.
    basGlobal::ApplicationMode = 1;
    for (int i = 0; i < 200; ++i) {
        const auto node = namedNode(qint16(1 + i % 4), QStringLiteral("Finding %1\rline two").arg(i));
        if (i % 7 == 0)
            node->setAnswer((i % 3) / 2.0);
        if (i % 11 == 0)
            node->setSelected(true);
        if (i % 13 == 0)
            node->setEnabled(false);
        if (i % 17 == 0)
            node->setExternal(true);
    }
    const auto& layers = network.Layers();
    for (qint32 layer = 2; layer <= layers.Count(); ++layer) {
        const auto& nodes = layers.Item(layer)->Nodes();
        const auto& below = layers.Item(layer - 1)->Nodes();
        for (qsizetype i = 1; i <= nodes.Count(); ++i) {
            for (int k = 0; k < 3; ++k) {
                auto link = addLink(nodes.Item(i), below.Item((i * 5 + k * 11) % below.Count() + 1));
                link->DOT = double((i + k) % 11) / 10.0;
            }
        }
    }
    expectTheSamePicture(network, QSize(640, 400));
    network.Overview = true;
    expectTheSamePicture(network, QSize(900, 700));
    basGlobal::ApplicationMode = 0;
    expectTheSamePicture(network, QSize(300, 200));

    // Crowded far beyond a pixel a node, most links fall on lines drawn before; so many nodes
    // are drawn in runs side by side.
    addCrowd(5000);
    basGlobal::ApplicationMode = 1;
    expectTheSamePicture(network, QSize(200, 120));
    {
        // Held to two processors, the layers (the links and two runs of nodes) are drawn on two
        // pictures, two of them in turn on one.
        const HeldToProcessors two(2);
        expectTheSamePicture(network, QSize(200, 120));
    }
    basGlobal::ApplicationMode = 0;

    // Runs that draw no name end in the font and colour of the last name drawn before them: the
    // nodes of the second half have none.
    const auto& named = layers.Item(2)->Nodes();
    const qsizetype lastName = named.Count() - 100;
    for (qint32 layer = 2; layer <= layers.Count(); ++layer) {
        const auto& nodes = layers.Item(layer)->Nodes();
        for (qsizetype i = layer == 2 ? lastName : 1; i <= nodes.Count(); ++i)
            nodes.Item(i)->setEnabled(layer == 2 && i == lastName);
    }
    const auto lastNamed = named.Item(lastName)->Name();
    lastNamed->Font()->Name = QStringLiteral("DejaVu Serif");
    lastNamed->Font()->Italic = true;
    lastNamed->ForeColor = platform::colours::rgb(90, 0, 0);
    expectTheSamePicture(network, QSize(200, 120));

    // A link that cannot be drawn stops the drawing there: the links before it stay, the nodes
    // are not drawn, either way.
    addLink(middle[1], evidence[2])->ConnectionTo.reset();
    const Drawn failed = drawOn<platform::PainterCanvas>(network, QSize(640, 400));
    EXPECT_FALSE(failed.whole);
    expectTheSamePicture(network, QSize(640, 400));
}

TEST_F(DrawingPictures, RunsOfNodesDrawnSideBySideEndWhereTheDrawingInTurnEnds)
{
    // Names and captions in many fonts and colours, in the viewer.
    basGlobal::ApplicationMode = 1;
    addCrowd(6000); // two runs in the viewer
    const auto& top = network.Layers().Item(4)->Nodes();

    // A drawing that ends at a node of the first run leaves the nodes after it as a drawing in
    // turn does: a name label without text is not given the default one.
    const auto& bottom = network.Layers().Item(1)->Nodes();
    bottom.Item(bottom.Count() - 10)->Controls().Add(nullptr);
    const auto unnamed = std::make_shared<TextLabel>();
    top.Item(top.Count())->setNameLabel(unnamed);
    EXPECT_FALSE(drawOn<platform::PainterCanvas>(network, QSize(200, 120)).whole);
    EXPECT_FALSE(unnamed->hasText());
    bottom.Item(bottom.Count() - 10)->Controls().Clear();

    const QString fonts[] = {QStringLiteral("DejaVu Serif"), QStringLiteral("DejaVu Sans Mono"), QString()};
    for (qsizetype i = 1; i <= top.Count(); i += 3) {
        const auto& node = top.Item(i);
        node->setAnswer(double(i % 3) / 2.0);
        const auto name = node->Name();
        name->Font()->Name = fonts[i % 3];
        name->Font()->Size = qint16(6 + i % 5);
        name->ForeColor = platform::colours::rgb(int(i % 256), 40, 90);
        const auto answer = node->Answers.Item(1 + i % 3);
        answer->Font()->Bold = i % 2 != 0;
        answer->Font()->Name = fonts[(i + 1) % 3];
        answer->ForeColor = platform::colours::rgb(0, int(i % 256), 60);
    }
    expectTheSamePicture(network, QSize(200, 120));

    // A node of the last run whose caption cannot be found ends the drawing: before its name
    // is drawn when whether it has one fails, after it when which one fails.
    const auto& late = top.Item(top.Count() - 20);
    late->Controls().Add(nullptr);
    late->Answered = false;
    EXPECT_FALSE(drawOn<platform::PainterCanvas>(network, QSize(200, 120)).whole);
    expectTheSamePicture(network, QSize(200, 120));
    late->Answered = true;
    expectTheSamePicture(network, QSize(200, 120));
}
