#pragma once

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/Service.h"
#include "platform/doubles/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace kelvane::test {

// Builds networks for the tests through the network's own operations.
class NetworkBuilder {
public:
    std::shared_ptr<clsNetwork> network = clsNetwork::create();

    // Adds a node named `name` at the end of layer `layer` and returns it.
    std::shared_ptr<Node> node(qint16 layer, const QString& name = {})
    {
        EXPECT_TRUE(network->AddNode(layer));
        const auto& nodes = network->Layers().Item(layer)->Nodes();
        auto added = nodes.Item(nodes.Count());
        if (!name.isEmpty())
            added->Name()->setText(name);
        return added;
    }

    // Links `from` to its evidence node `to` and returns the new link.
    std::shared_ptr<Link> link(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to)
    {
        EXPECT_TRUE(network->AddLink(from, to));
        return from->Links().Item(from->Links().Count());
    }
};

// Makes the common error reporter show its messages (to scripted UI services) while it
// lives, so that tests can see what was reported.
class ReportedErrors {
public:
    ReportedErrors() { basLibrary::DebugMode = true; }
    ~ReportedErrors() { basLibrary::DebugMode = false; }
    ReportedErrors(const ReportedErrors&) = delete;
    ReportedErrors& operator=(const ReportedErrors&) = delete;

    // The texts of the reports so far.
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& box : m_ui->messageBoxes)
            result.push_back(box.text.toStdString());
        return result;
    }
    std::size_t count() const { return m_ui->messageBoxes.size(); }

private:
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> m_ui;
};

// The names of the nodes of each layer, e.g. {"A B", "C"}.
inline std::vector<std::string> layerNames(clsNetwork& network)
{
    std::vector<std::string> layers;
    for (const auto& layer : network.Layers()) {
        QStringList names;
        for (const auto& node : layer->Nodes())
            names << node->Name()->Text();
        layers.push_back(names.join(QLatin1Char(' ')).toStdString());
    }
    return layers;
}

// The layer index of each layer in order.
inline std::vector<int> layerIndexes(clsNetwork& network)
{
    std::vector<int> indexes;
    for (const auto& layer : network.Layers())
        indexes.push_back(layer->Index);
    return indexes;
}

} // namespace kelvane::test
