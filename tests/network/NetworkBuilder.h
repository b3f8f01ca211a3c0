#pragma once

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/Service.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvane::test {

using Names = std::vector<std::string>;

// Builds networks through the network's own operations, with nodes named for the tests:
// NetworkBuilder net({"B C", "A"}).links("A>B B>C"); puts B and C in layer 1, A in layer 2.
class NetworkBuilder {
public:
    explicit NetworkBuilder(std::initializer_list<const char*> layers = {})
    {
        qint16 layer = 0;
        for (const char* names : layers) {
            ++layer;
            if (network->Layers().Count() < layer)
                network->AddLayer();
            for (const QString& name : QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                node(layer, name.toStdString());
        }
    }

    // Adds a node at the end of a layer.
    std::shared_ptr<Node> node(qint16 layer, const std::string& name = {})
    {
        EXPECT_TRUE(network->AddNode(layer));
        const auto& nodes = network->Layers().Item(layer)->Nodes();
        auto added = nodes.Item(nodes.Count());
        if (!name.empty()) {
            added->Name()->setText(QString::fromStdString(name));
            named[name] = added;
        }
        return added;
    }

    // Links given as "A>B C>D" (A holds a link to its evidence B).
    NetworkBuilder& links(const char* pairs)
    {
        for (const QString& pair : QString::fromLatin1(pairs).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const auto ends = pair.split(QLatin1Char('>'));
            EXPECT_TRUE(network->AddLink((*this)[ends[0].toStdString()], (*this)[ends[1].toStdString()]));
        }
        return *this;
    }

    const std::shared_ptr<Node>& operator[](const std::string& name) { return named.at(name); }

    std::shared_ptr<clsNetwork> network = clsNetwork::create();
    std::map<std::string, std::shared_ptr<Node>> named;
};

// The node names of each layer, e.g. {"B C", "A"}.
inline Names layerNames(clsNetwork& network)
{
    Names layers;
    for (const auto& layer : network.Layers()) {
        QStringList names;
        for (const auto& node : layer->Nodes())
            names << node->Name()->Text();
        layers.push_back(names.join(QLatin1Char(' ')).toStdString());
    }
    return layers;
}

inline std::vector<int> layerIndexes(clsNetwork& network)
{
    std::vector<int> indexes;
    for (const auto& layer : network.Layers())
        indexes.push_back(layer->Index);
    return indexes;
}

// Lets the common error reporter show its messages, to scripted UI services, while it lives.
class ReportedErrors {
public:
    ReportedErrors() { basLibrary::DebugMode = true; }
    ~ReportedErrors() { basLibrary::DebugMode = false; }
    std::size_t count() const { return m_ui->messageBoxes.size(); }

private:
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> m_ui;
};

} // namespace kelvane::test
