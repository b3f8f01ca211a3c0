#pragma once

#include "model/AncestorWalk.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace kelvane {

class Node;

// UnanswerParents: clears Answered on the answered ancestors of a node, the deepest first, as
// the recursive definition does (the walk of AncestorWalk). Every parent passed from an enabled
// node has its links to unanswered evidence without a default set to undecided; the node's
// higher-level nodes are unanswered and cleared the same way. Failures are reported under
// "UnanswerParents" and end only the step that failed.
class AncestorClearing {
public:
    AncestorClearing() : m_walk(m_lineage) {}
    AncestorClearing(const AncestorClearing&) = delete;
    AncestorClearing& operator=(const AncestorClearing&) = delete;

    void from(const std::shared_ptr<Node>& start);

private:
    // The nodes as the document holds them; each frame keeps its own copy of the lists.
    class Lineage {
    public:
        using Member = std::shared_ptr<Node>;
        using Members = std::vector<std::shared_ptr<Node>>;

        bool enter(const Member& node);
        void leave(const Member& node) { m_onPath.erase(node.get()); }
        Members parents(const Member& node) const;
        Members highers(const Member& node) const;
        bool answered(const Member& node) const;
        void unanswer(const Member& node) const;
        void clearLinks(const Member& parent) const;
        template <class Step>
        bool attempt(Step&& step);

    private:
        std::unordered_set<const Node*> m_onPath;
    };

    Lineage m_lineage;
    AncestorWalk<Lineage> m_walk;
};

} // namespace kelvane
