#pragma once

#include "platform/Collection.h"

#include <functional>
#include <memory>
#include <unordered_set>

namespace kelvane {

class Layer;
class Node;

// A depth-first walk along links, from a node to its evidence nodes, in link order. It enters
// each node once and notices a cycle (a link back to a node on the current path), so it ends
// on any network, also one read from a file whose links form a cycle. It keeps its own stack,
// so deep networks do not exhaust the call stack. One walk may start from several nodes: nodes
// entered from an earlier start are not entered again.
class LinkWalk {
public:
    enum class Outcome {
        Completed,  // every reachable link was visited
        Stopped,    // the visitor asked to stop
        CycleFound, // a link leads back to a node on the current path
    };

    // Called for every link of every node entered, before its evidence node is entered;
    // returning false stops the walk.
    using Visitor = std::function<bool(const Node& holder, const Node& evidence)>;

    // Walks from `start` (which is entered but not visited as evidence). A link without an
    // evidence node raises ObjectNotSet.
    Outcome from(const Node& start, const Visitor& visit);

    // True when the links of the nodes in `layers` form a cycle.
    static bool hasCycle(const Collection<std::shared_ptr<Layer>>& layers);

private:
    std::unordered_set<const Node*> m_finished;
};

} // namespace kelvane
