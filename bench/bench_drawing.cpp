// Draws networks of 1,000 and 5,000 nodes on a QPainter canvas the size of a maximised
// window (1,920 × 1,080 pixels), in the viewer with answers, bands and captions, and prints
// the best and the median time of several drawings. Run it from a Release build.
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "platform/ImageCanvas.h"

#include <QGuiApplication>
#include <QSize>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 9;
const QSize kWindow(1920, 1080);

// `layers` layers of `perLayer` nodes; every node above the first layer links to two nodes
// of the layer below it, and every third node of the first layer is answered.
std::shared_ptr<kelvane::clsNetwork> makeNetwork(int layers, int perLayer)
{
    auto network = kelvane::clsNetwork::create();
    for (int layer = 1; layer <= layers; ++layer) {
        for (int i = 0; i < perLayer; ++i)
            network->AddNode(qint16(layer));
    }
    for (int layer = 1; layer <= layers; ++layer) {
        const auto& nodes = network->Layers().Item(layer)->Nodes();
        for (int i = 1; i <= perLayer; ++i) {
            const auto& node = nodes.Item(i);
            for (const QString& text : {QStringLiteral("Yes"), QStringLiteral("No")}) {
                auto answer = std::make_shared<kelvane::TextLabel>();
                answer->setText(text);
                node->Answers.Add(std::move(answer));
            }
            if (layer == 1) {
                node->Answered = i % 3 == 0;
                node->DOT = i % 2 == 0 ? 1.0 : 0.0;
                continue;
            }
            const auto& below = network->Layers().Item(layer - 1)->Nodes();
            for (int target : {i, i % perLayer + 1}) {
                network->AddLink(node, below.Item(target));
                node->Links().Item(node->Links().Count())->DOT = 0.1 * (target % 11);
            }
        }
    }
    return network;
}

struct Timing {
    double best;
    double median;
};

Timing timeDrawing(kelvane::clsNetwork& network)
{
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        platform::ImageCanvas picture(kWindow);
        auto& canvas = picture.canvas();
        const auto start = std::chrono::steady_clock::now();
        if (!network.DrawNetwork(canvas))
            std::fprintf(stderr, "the drawing failed\n");
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        times.push_back(elapsed.count());
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    basGlobal::ApplicationMode = 1;

    struct Case {
        int layers;
        int perLayer;
    };
    for (const Case& size : {Case {10, 100}, Case {20, 250}}) {
        const auto network = makeNetwork(size.layers, size.perLayer);
        const Timing timing = timeDrawing(*network);
        std::printf("%5d nodes (%d layers): best %7.1f ms, median %7.1f ms\n", size.layers * size.perLayer,
                    size.layers, timing.best, timing.median);
    }
    return 0;
}
