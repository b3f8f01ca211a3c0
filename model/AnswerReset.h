#pragma once

#include <memory>
#include <vector>

namespace kelvane {

class Node;

// Resets the answers of many nodes one after the other, leaving exactly what Node::Reset
// called on each of them in turn leaves, in time that grows with the nodes and links.
//
// Resetting a node recomputes each of its parents and makes the parents' links to unanswered
// evidence undecided: one node at a time, that goes over every link of a parent once for each
// of its evidence nodes. Here those steps only note when they happened. A link takes its value
// when its evidence is about to change, and at the end: from the last step since the link was
// last brought up to date that would have written it; its evidence being as it is all along
// that time, the value is the one that step wrote. The parents' contradictions and whether
// they have answered evidence are kept as counts, updated link by link as evidence changes.
//
// It takes the nodes only where nothing else can happen: no node answers automatically, none
// hands its answer to higher-level nodes, every parent is one of the nodes, and every weight
// and answer lies between 0 and 1 (so that no computation can fail part-way).
class AnswerReset {
public:
    // False, with nothing done, when the nodes are not ones it takes: reset each in turn then.
    static bool resetAll(const std::vector<std::shared_ptr<Node>>& nodes);
};

} // namespace kelvane
