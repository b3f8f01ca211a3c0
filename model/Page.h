#pragma once

#include "platform/Collection.h"

#include <QString>
#include <memory>

namespace kelvane {

class AbstractNetwork;
class Layer;

// One network as automation clients see it. GUID and Layers are read through the network
// on every call; without a network they raise ObjectNotSet.
class Page {
public:
    QString GUID() const;
    // The network's own collection (not a copy).
    Collection<std::shared_ptr<Layer>>& Layers() const;

    // Program-internal: the network the page shows.
    std::shared_ptr<AbstractNetwork> Network() const { return m_network; }
    void setNetwork(std::shared_ptr<AbstractNetwork> network) { m_network = std::move(network); }

private:
    AbstractNetwork& network() const;

    std::shared_ptr<AbstractNetwork> m_network;
};

} // namespace kelvane
