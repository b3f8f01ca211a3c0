#pragma once

#include <memory>
#include <unordered_set>
#include <vector>

namespace kelvane {

class Node;

// UnanswerParents: clears Answered on the answered ancestors of a node, the deepest first, as
// the recursive definition does, on a stack of its own (chains of answered nodes can be
// thousands long). Every parent passed from an enabled node has its links to unanswered
// evidence without a default set to undecided; the node's higher-level nodes are unanswered
// and cleared the same way. A node met again along a cycle is not walked again. Failures are
// reported under "UnanswerParents" and end only the step that failed.
//
// The two changes it makes are steps of their own, so that a walk that keeps the links' values
// in its own way (resetting many nodes at once) can make them differently.
class AncestorClearing {
public:
    virtual ~AncestorClearing() = default;

    void from(const std::shared_ptr<Node>& start);

protected:
    // An answered ancestor, or a higher-level node, stops being answered.
    virtual void unanswer(Node& node);
    // A parent passed: its links to unanswered evidence that has no default become undecided.
    virtual void clearLinks(Node& parent);

private:
    struct Frame {
        std::shared_ptr<Node> node;
        std::vector<std::shared_ptr<Node>> parents; // empty for a disabled node: its parents stay as they are
        std::vector<std::shared_ptr<Node>> highers;
        std::size_t next = 0; // parents first, then higher-level nodes
        bool waiting = false; // the ancestor at `next` is being cleared
    };

    void enter(const std::shared_ptr<Node>& node);
    void leave();
    void step();

    std::vector<Frame> m_frames;
    std::unordered_set<const Node*> m_onPath;
};

} // namespace kelvane
