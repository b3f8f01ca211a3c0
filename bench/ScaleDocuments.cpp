#include "bench/ScaleDocuments.h"

#include "diagram/ctlPelnet.h"
#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "network/clsNetwork.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <vector>

namespace kelvane::bench {

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

} // namespace

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

std::shared_ptr<clsNetwork> chainInOneLayer(int length)
{
    auto chain = clsNetwork::create();
    std::shared_ptr<Node> above;
    for (int i = 0; i < length; ++i) {
        chain->AddNode(1);
        const auto node = lastNodeOf(*chain, 1);
        node->setAnswer(0.9);
        if (above) {
            chain->AddLink(above, node);
            weigh(*above->Links().Item(1));
        }
        above = node;
    }
    return chain;
}

bool saveDocument(clsNetwork& network, const QString& path)
{
    network.setFileName(path);
    return network.FileSave();
}

bool writeLayeredDocument(const QString& path, int nodeCount)
{
    const auto network = layeredNetwork(10, nodeCount / 10, 3);
    network->Name()->setText(QStringLiteral("Benchmark"));
    return saveDocument(*network, path);
}

bool writeLongNameDocument(const QString& path, qsizetype characters)
{
    QString name;
    name.reserve(characters);
    static const QString kWords[] = {QStringLiteral("engine"), QStringLiteral("a"), QStringLiteral("starts"),
                                     QStringLiteral("when"), QStringLiteral("the"), QStringLiteral("battery"),
                                     QStringLiteral("holds"), QStringLiteral("its"), QStringLiteral("charge")};
    for (std::size_t word = 0; name.size() < characters; ++word) {
        name += kWords[word % std::size(kWords)];
        name += u' ';
    }
    name.truncate(characters);
    const auto network = layeredNetwork(1, 1, 0);
    network->Name()->setText(QStringLiteral("Long name"));
    network->Layers().Item(1)->Nodes().Item(1)->Name()->setText(name);
    return saveDocument(*network, path);
}

std::shared_ptr<clsNetwork> wideParentNetwork(int children)
{
    auto network = clsNetwork::create();
    network->AddNode(2);
    const auto parent = lastNodeOf(*network, 2);
    for (int i = 0; i < children; ++i) {
        network->AddNode(1);
        const auto child = lastNodeOf(*network, 1);
        child->Answered = true;
        child->DOT = (i % 5) / 4.0;
        network->AddLink(parent, child);
        weigh(*parent->Links().Item(parent->Links().Count()));
    }
    return network;
}

bool writeNestedChainsDocument(const QString& path, int chains, int depth)
{
    ctlPelnet control;
    const auto top = clsNetwork::create();
    control.setNetwork(top);
    control.Networks.Clear();
    control.Networks.Add(top);
    top->Name()->setText(QStringLiteral("Nested chains"));
    // The save writes a node's lower level from its network and the GUIDs it names.
    const auto opensLevel = [&](const std::shared_ptr<Node>& external) {
        auto lower = clsNetwork::create();
        lower->AddNode(1);
        const auto entry = lastNodeOf(*lower, 1);
        entry->Name()->setText(QStringLiteral("Level"));
        external->setExternal(true);
        external->LowerLevelNetwork = lower;
        external->ExternalNetworkGUID = lower->GUID();
        external->setExternalGUID(entry->GUID);
        control.Networks.Add(lower);
        lower->Index = static_cast<qint16>(control.Networks.Count());
        return entry;
    };
    for (int chain = 0; chain < chains; ++chain) {
        top->AddNode(1);
        auto node = lastNodeOf(*top, 1);
        for (int level = 0; level < depth; ++level)
            node = opensLevel(node);
    }
    top->setFileName(path);
    return control.FileSave();
}

bool writeLongNamesDocument(const QString& path, int nodeCount, qsizetype characters)
{
    static const QString kWords[] = {QStringLiteral("engine"), QStringLiteral("a"), QStringLiteral("starts"),
                                     QStringLiteral("when"), QStringLiteral("the"), QStringLiteral("battery"),
                                     QStringLiteral("holds"), QStringLiteral("its"), QStringLiteral("charge"),
                                     QStringLiteral("in"), QStringLiteral("cold"), QStringLiteral("weather")};
    const auto network = layeredNetwork(10, nodeCount / 10, 3);
    network->Name()->setText(QStringLiteral("Long names"));
    QRandomGenerator random(37);
    for (const auto& layer : network->Layers()) {
        for (const auto& node : layer->Nodes()) {
            QString name;
            name.reserve(characters + 16);
            while (name.size() < characters) {
                name += kWords[random.bounded(quint32(std::size(kWords)))];
                name += u' ';
            }
            name.truncate(characters);
            node->Name()->setText(name);
        }
    }
    return saveDocument(*network, path);
}

bool writeDocumentWithLowerFile(const QString& path, const QString& lowerFile, qint64 bytes)
{
    QFile lower(QFileInfo(path).absolutePath() + u'/' + lowerFile);
    if (!lower.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator random(53);
    std::vector<quint32> chunk(256 * 1024);
    for (qint64 left = bytes; left > 0;) {
        random.fillRange(chunk.data(), chunk.size());
        const qint64 size = std::min<qint64>(left, qint64(chunk.size() * sizeof(quint32)));
        if (lower.write(reinterpret_cast<const char*>(chunk.data()), size) != size)
            return false;
        left -= size;
    }
    lower.close();

    const auto network = layeredNetwork(1, 1, 0);
    network->Name()->setText(QStringLiteral("Benchmark"));
    const auto gate = lastNodeOf(*network, 1);
    gate->setExternal(true);
    gate->ExternalFile = lowerFile;
    gate->ExternalNetworkGUID = QStringLiteral("0100000000000000000000000000000000000000LOW1");
    gate->setExternalGUID(QStringLiteral("01000000000000000000000000000000000000000L01"));
    return saveDocument(*network, path);
}

} // namespace kelvane::bench
