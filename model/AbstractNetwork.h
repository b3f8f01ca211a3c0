#pragma once

#include "platform/Collection.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {

class Layer;
class Node;
class TextLabel;

// What the model needs of the network that holds its layers and nodes. The network class
// derives from it; networks are always held by std::shared_ptr.
class AbstractNetwork {
public:
    virtual ~AbstractNetwork() = default;

    // Identity of the network.
    virtual QString GUID() const = 0;

    // The network's own collection of layers, in order (shared with its pages).
    virtual Collection<std::shared_ptr<Layer>>& Layers() = 0;

    // Adds a new node as the last node of layer `intLayer` (1-based), adding layers as needed.
    virtual bool AddNode(qint32 intLayer) = 0;

    // Adds a link from `objNodeFrom` to its evidence node `objNodeTo`.
    virtual bool AddLink(const std::shared_ptr<Node>& objNodeFrom, const std::shared_ptr<Node>& objNodeTo) = 0;

    // Title label of the knowledge base (may be null) and the scenario name, for reports.
    virtual std::shared_ptr<TextLabel> Name() const = 0;
    virtual QString ScenarioName() const = 0;

    // The last-modification stamp; the host display writes it on its current network.
    virtual QString Version() const = 0;
    virtual void setVersion(const QString& version) = 0;

    // Set before a load: the document readers give the nodes they read new GUIDs.
    virtual bool NewGUIDs() const = 0;
};

} // namespace kelvane
