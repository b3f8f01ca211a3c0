#pragma once

#include "model/AbstractNetwork.h"

#include <memory>

namespace kelvane {
class Link;
}

namespace kelvane::doubles {

// A small network for model tests: AddNode and AddLink keep the minimal bookkeeping
// (layers numbered in order and bound to the network; node number, layer, place and
// network; Links, ConnectionFrom/To and Parents). Counts the calls it receives.
class TestNetwork : public AbstractNetwork, public std::enable_shared_from_this<TestNetwork> {
public:
    static std::shared_ptr<TestNetwork> create();

    QString GUID() const override { return guid; }
    Collection<std::shared_ptr<Layer>>& Layers() override { return layers; }
    bool AddNode(qint32 intLayer) override;
    bool AddLink(const std::shared_ptr<Node>& objNodeFrom, const std::shared_ptr<Node>& objNodeTo) override;
    std::shared_ptr<TextLabel> Name() const override { return name; }
    QString ScenarioName() const override { return scenarioName; }
    QString Version() const override { return version; }
    void setVersion(const QString& value) override { version = value; }
    bool NewGUIDs() const override { return newGUIDs; }

    // Conveniences: add a node and return it; add a link and return it; a node by place.
    std::shared_ptr<Node> addNode(qint32 layer);
    std::shared_ptr<Link> link(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to);
    std::shared_ptr<Node> node(qint32 layer, qint32 position);

    QString guid;
    Collection<std::shared_ptr<Layer>> layers;
    std::shared_ptr<TextLabel> name;
    QString scenarioName;
    QString version;
    bool newGUIDs = false;
    qint32 counter = 0; // last node number handed out
    int addNodeCalls = 0;
    int addLinkCalls = 0;

protected:
    TestNetwork();
};

} // namespace kelvane::doubles
