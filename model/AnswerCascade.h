#pragma once

#include <QHash>
#include <memory>
#include <vector>

namespace kelvane {

class Node;

// The propagation of one answer. Answering a node answers automatically the parents that
// automatic answering reaches, each of which propagates in turn, and hands the answer to the
// node's higher-level nodes. Taken literally that walks every path of this cascade, answering
// a node again for each path that reaches it: a cost that doubles with each layer of a network
// whose nodes share parents.
//
// Only the last visit of a node on that walk leaves its mark: it answers the node after all of
// its evidence has changed, and whatever the earlier visits wrote, it or the visits after it
// write again. So the cascade visits each node once, at the place its last visit has on the
// walk: lower nodes first, each after all of its changed evidence. The last visits are found
// beforehand by one walk over the cascade with the children taken in reverse order, in which
// the first path to reach a node is the walk's last. The final state is the literal walk's.
//
// The cascade is planned from the flags as they stand when the answer is given (enabled,
// irrelevant, automatic answering, parents and higher-level nodes); handlers run while it
// yields see a network being brought up to date, as they would during the literal walk.
class AnswerCascade {
public:
    using NodePtr = std::shared_ptr<Node>;

    // Plans the propagation of `start`'s answer; with `parentsOnly`, only the automatic
    // answering of its parents (no own steps, no higher-level nodes). False when the cascade
    // holds a cycle (possible only in data read from a file), which the literal walk, with its
    // guard against cycles, is left to handle.
    bool plan(const NodePtr& start, bool parentsOnly);

    // Runs the planned propagation, with its own stack: cascades can be thousands of nodes deep.
    void run();

private:
    // What one visited node hands on, in the walk's order: the parents it answers
    // automatically (every live parent is a slot; `answers` tells which are answered), then
    // its higher-level nodes.
    struct Children {
        bool answersParents = false; // enabled and relevant (or the start of a parents-only run)
        std::vector<NodePtr> parents;
        std::vector<bool> answers;
        std::vector<NodePtr> highers;
    };
    // The slot through which a node is visited: its last visit on the literal walk.
    struct Slot {
        const Node* from = nullptr;
        bool higher = false;
        std::size_t index = 0;
        bool operator==(const Slot&) const = default;
    };

    Children childrenOf(const NodePtr& node, bool isStart) const;
    bool visitsThrough(const Node* from, bool higher, std::size_t index, const Node* child) const;

    NodePtr m_start;
    bool m_parentsOnly = false;
    QHash<const Node*, Children> m_children;
    QHash<const Node*, Slot> m_lastVisit;
};

} // namespace kelvane
