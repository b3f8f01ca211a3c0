// The cost of the work that grows with a knowledge base, each with the limit it must keep:
//  - one answer with automatic answering in a network of two nodes a layer, each linked to
//    both nodes below (every path to the top doubles with each layer): at 10 and 20 layers,
//    the ratio of the times stays near 2 when the cost grows with the nodes, not the paths;
//  - one answer in 8 layers of 50 nodes with 3 links each: under 1 ms;
//  - a chain of 30,000 nodes, laid out from one layer by Structure (top node first, as a chain
//    is built by adding each node's evidence after it), and its degrees of truth recomputed;
//  - opening XML documents of 10,000 and 100,000 nodes in a shown diagram control: the larger
//    takes at most 12 times as long.
// Run it from a Release build.
#include "bench/BenchTiming.h"
#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "network/NetworkRecompute.h"
#include "network/clsNetwork.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace kelvane;

namespace {

std::shared_ptr<Node> lastNodeOf(clsNetwork& network, qint32 layer)
{
    const auto& nodes = network.Layers().Item(layer)->Nodes();
    return nodes.Item(nodes.Count());
}

void weigh(Link& link)
{
    link.WeightDeny = 0.1;
    link.Weight = 0.5;
    link.WeightAffirm = 0.9;
}

// `layers` layers of `width` nodes; each node above the first links to `links` nodes of the
// layer below.
std::shared_ptr<clsNetwork> layeredNetwork(int layers, int width, int links)
{
    auto network = clsNetwork::create();
    for (qint32 layer = 1; layer <= layers; ++layer) {
        for (int i = 0; i < width; ++i) {
            network->AddNode(layer);
            if (layer == 1)
                continue;
            const auto node = lastNodeOf(*network, layer);
            const auto& below = network->Layers().Item(layer - 1)->Nodes();
            for (int k = 0; k < links; ++k) {
                network->AddLink(node, below.Item((i + k * 7) % width + 1));
                weigh(*node->Links().Item(node->Links().Count()));
            }
        }
    }
    return network;
}

// The time of one answer at the bottom, with automatic answering on.
double answerTime(int layers, int width, int links)
{
    const auto network = layeredNetwork(layers, width, links);
    const auto bottom = network->Layers().Item(1)->Nodes().Item(1);
    bool yes = true;
    return bench::bestSeconds(5, [&] {
        bottom->setAnswer(yes ? 1.0 : 0.0);
        yes = !yes;
    });
}

struct ChainTimes {
    double structure = 0;
    double recompute = 0;
    qsizetype layers = 0;
};

ChainTimes chainTimes(int length)
{
    ChainTimes times;
    times.structure = bench::bestSeconds(3, [&] {
        auto chain = clsNetwork::create();
        std::shared_ptr<Node> above;
        for (int i = 0; i < length; ++i) {
            chain->AddNode(1);
            const auto node = lastNodeOf(*chain, 1);
            node->setAnswer(0.9);
            if (above)
                chain->AddLink(above, node);
            above = node;
        }
        const auto started = std::chrono::steady_clock::now();
        chain->Structure();
        times.layers = chain->Layers().Count();
        const std::chrono::duration<double> structured = std::chrono::steady_clock::now() - started;
        times.recompute = bench::bestSeconds(3, [&] { RecomputeDegreesOfTruth(*chain); });
        times.structure = structured.count(); // the last round's, the chain being built anew each round
    });
    return times;
}

double openTime(int nodeCount, const QString& folder)
{
    const QString path = folder + QStringLiteral("/open-%1.xml").arg(nodeCount);
    {
        const auto network = layeredNetwork(10, nodeCount / 10, 3);
        network->Name()->setText(QStringLiteral("Benchmark"));
        network->setFileName(path);
        if (!network->FileSave())
            std::fprintf(stderr, "saving %d nodes failed\n", nodeCount);
    }
    // The open and the events it leaves behind; making and closing the control are not timed.
    double best = 1e30;
    for (int round = 0; round < 2; ++round) {
        ctlPelnet control;
        control.resize(800, 600);
        control.show();
        control.Network()->setFileName(path);
        best = std::min(best, bench::bestSeconds(1, [&] {
            if (!control.FileOpen() || control.Network()->NodeCount() != nodeCount)
                std::fprintf(stderr, "opening %d nodes failed\n", nodeCount);
            QApplication::processEvents();
        }));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    basGlobal::Settings.AutoAnswer = true;
    bool ok = true;

    const double ten = answerTime(10, 2, 2);
    const double twenty = answerTime(20, 2, 2);
    const double answerRatio = twenty / ten;
    std::printf("one answer, two nodes a layer: 10 layers %.3f ms, 20 layers %.3f ms, ratio %.2f (near 2)\n",
                ten * 1000, twenty * 1000, answerRatio);
    ok = ok && answerRatio < 3;

    const double wide = answerTime(8, 50, 3);
    std::printf("one answer, 8 layers of 50 nodes with 3 links each: %.3f ms (limit 1 ms)\n", wide * 1000);
    ok = ok && wide < 0.001;

    const ChainTimes chain = chainTimes(30000);
    std::printf("chain of 30,000 nodes: Structure %.3f s (%lld layers), RecomputeDegreesOfTruth %.3f s\n",
                chain.structure, static_cast<long long>(chain.layers), chain.recompute);
    ok = ok && chain.layers == 30000 && chain.structure < 1 && chain.recompute < 1;

    QTemporaryDir folder;
    const double small = openTime(10000, folder.path());
    const double large = openTime(100000, folder.path());
    const double openRatio = large / small;
    std::printf("opening 10,000 nodes %.3f s, 100,000 nodes %.3f s, ratio %.1f (limit 12)\n", small, large, openRatio);
    ok = ok && openRatio <= 12;

    std::printf("%s\n", ok ? "within limits" : "OUTSIDE LIMITS");
    return ok ? 0 : 1;
}
