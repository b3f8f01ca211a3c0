#pragma once

#include "network/NetworkDrawing.h"

#include <QTimer>
#include <memory>
#include <optional>

namespace kelvane {

class NetworkCanvas;
class clsNetwork;

// While it lives, measures on the canvas the names the next drawing of the network will measure
// whatever the canvas's size, a few milliseconds at a time whenever the message loop has nothing
// else to do, until every name is measured: for a time the program waits anyway before it draws.
// The network may change meanwhile; what changed is measured by the drawing itself.
class NamesMeasuredAhead {
public:
    NamesMeasuredAhead(std::weak_ptr<clsNetwork> network, NetworkCanvas& canvas);
    NamesMeasuredAhead(const NamesMeasuredAhead&) = delete;
    NamesMeasuredAhead& operator=(const NamesMeasuredAhead&) = delete;

    // Whether every name has been measured.
    bool done() const { return !m_next; }

private:
    void measureSome();

    std::weak_ptr<clsNetwork> m_network;
    NetworkCanvas& m_canvas;
    std::optional<drawing::NodeCursor> m_next {drawing::NodeCursor {}};
    QTimer m_idle;
};

} // namespace kelvane
