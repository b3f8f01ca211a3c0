#pragma once

#include <unordered_set>

namespace kelvane {

class Node;

// The nodes of one recursive walk over links, parents or levels. Documents can hold a
// cycle, so a walk marks the nodes it stands on and does not enter one of them again.
class WalkPath {
public:
    // Stands on `node` for its lifetime; entered() is false when the node was already on
    // the path (the walk met a cycle and must not go on from here).
    class Step {
    public:
        Step(WalkPath& path, const Node* node) : m_path(path), m_node(node), m_entered(path.m_nodes.insert(node).second) {}
        ~Step()
        {
            if (m_entered)
                m_path.m_nodes.erase(m_node);
        }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

        bool entered() const { return m_entered; }

    private:
        WalkPath& m_path;
        const Node* m_node;
        bool m_entered;
    };

private:
    std::unordered_set<const Node*> m_nodes;
};

} // namespace kelvane
