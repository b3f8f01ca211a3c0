// Builds knowledge bases of 1,000 and 10,000 nodes (about three links each), saves each as
// an XML document and opens it again, and prints the times and the ratio of the opening
// times. Opening the larger one should take under a second and no more than 15 times as
// long as the smaller one. Run it from a Release build.
#include "bench/BenchTiming.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"
#include "platform/TextEncoding.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

using namespace kelvane;

namespace {

constexpr int kRounds = 3;
constexpr qint16 kLayers = 10;


// Nodes spread over ten layers; every node above the first links to three nodes of the
// layer below it.
std::shared_ptr<clsNetwork> buildNetwork(int nodeCount)
{
    auto network = clsNetwork::create();
    network->Name()->setText(QStringLiteral("Benchmark"));
    const int perLayer = nodeCount / kLayers;
    for (qint16 layer = 1; layer <= kLayers; ++layer) {
        for (int i = 0; i < perLayer; ++i) {
            network->AddNode(layer);
            const auto& node = network->Layers().Item(layer)->Nodes().Item(i + 1);
            node->Question->setText(QStringLiteral("Question %1 of layer %2?").arg(i + 1).arg(layer));
            node->Answers.Add(std::make_shared<TextLabel>());
            node->Answers.Item(1)->setText(QStringLiteral("Yes"));
            node->Answers.Add(std::make_shared<TextLabel>());
            node->Answers.Item(2)->setText(QStringLiteral("No"));
            if (layer == 1)
                continue;
            const auto& below = network->Layers().Item(layer - 1)->Nodes();
            for (int k = 0; k < 3; ++k)
                network->AddLink(node, below.Item((i + k * 7) % perLayer + 1));
        }
    }
    return network;
}

struct Timing {
    double save = 0;
    double open = 0;
    qint64 bytes = 0;
    int nodesRead = 0;
};

Timing measure(int nodeCount, const QString& folder)
{
    Timing timing;
    const auto network = buildNetwork(nodeCount);
    const QString path = folder + QStringLiteral("/bench-%1.xml").arg(nodeCount);
    network->setFileName(path);
    timing.save = bench::bestSeconds(kRounds, [&] {
        network->Saved = false;
        if (!network->FileSave())
            std::fprintf(stderr, "saving %d nodes failed\n", nodeCount);
    });
    timing.bytes = QFile(path).size();
    timing.open = bench::bestSeconds(kRounds, [&] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        QString text = platform::encoding::decodeStored(file.readAll());
        auto read = clsNetwork::create();
        if (!read->SerializeInXML(text))
            std::fprintf(stderr, "opening %d nodes failed\n", nodeCount);
        timing.nodesRead = read->NodeCount();
    });
    return timing;
}

} // namespace

int main()
{
    QTemporaryDir folder;
    const Timing small = measure(1000, folder.path());
    const Timing large = measure(10000, folder.path());
    for (const auto& [count, timing] : {std::pair {1000, small}, std::pair {10000, large}}) {
        std::printf("%6d nodes: save %8.1f ms, open %8.1f ms, %8lld bytes, %d nodes read\n", count,
                    timing.save * 1000, timing.open * 1000, static_cast<long long>(timing.bytes), timing.nodesRead);
    }
    const double ratio = large.open / small.open;
    std::printf("opening 10,000 nodes took %.1f times as long as 1,000 (limit 15); %.3f s (limit 1 s)\n", ratio,
                large.open);
    const bool ok = large.open < 1.0 && ratio <= 15.0;
    std::printf("%s\n", ok ? "within limits" : "OUTSIDE LIMITS");
    return ok ? 0 : 1;
}
