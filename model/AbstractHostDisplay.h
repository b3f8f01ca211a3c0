#pragma once

#include "model/PictureSource.h"

#include <QString>
#include <memory>

namespace kelvane {

class AbstractNetwork;

// The display that shows a network (the diagram control): what a network reads and calls
// on it. Every call runs on the user-interface thread and returns before the caller goes on.
class AbstractHostDisplay {
public:
    virtual ~AbstractHostDisplay() = default;

    // True once the display has initialised and whenever it has opened a document.
    virtual bool Loaded() const = 0;
    // True while the document shown was opened from the knowledge server.
    virtual bool Connected() const = 0;
    // The display's current network; null when it has none.
    virtual std::shared_ptr<AbstractNetwork> Network() const = 0;

    // Rebuilds the narrator buttons of the network shown.
    virtual void UpdateButtons() = 0;

    // Told when one of its networks is edited (nodes, links or layers added, moved or
    // removed): what the display keeps of the network's layout is out of date.
    virtual void NetworkEdited() {}

    // The knowledge base's splash picture and the picture painted behind the network.
    virtual void setSplash(const PictureSource& picture) = 0;
    virtual void setBackground(const PictureSource& picture) = 0;

    // Spools an update of the network `guid` for the knowledge server; failures are
    // handled inside. The third argument is not used.
    virtual void ServerUpdate(const QString& guid, const QString& text, const QString& unused) = 0;
};

} // namespace kelvane
