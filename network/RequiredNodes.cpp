#include "network/RequiredNodes.h"

#include "model/Link.h"
#include "model/Node.h"
#include "platform/RuntimeError.h"

#include <algorithm>
#include <vector>

namespace kelvane {

namespace {

// What a node is on its own: in need of information, or holding a link that leads nowhere
// or a control that cannot be read.
quint8 ownReach(const Node& node, quint8 needsInfo, quint8 broken)
{
    quint8 reach = 0;
    try {
        if (node.NeedInfo())
            reach |= needsInfo;
    } catch (const RuntimeError&) {
        reach |= broken;
    }
    for (const auto& link : node.Links()) {
        if (!link || !link->ConnectionTo)
            reach |= broken;
    }
    return reach;
}

// The nodes a node leads to, in the order the walk takes them: its links' evidence nodes, then
// its lower-level node.
const Node* successor(const Node& node, qsizetype i)
{
    const auto& links = node.Links();
    if (i < links.Count()) {
        const auto& link = links.Item(i + 1);
        return link ? link->ConnectionTo.get() : nullptr;
    }
    return i == links.Count() ? node.LowerLevelNode.get() : nullptr;
}

} // namespace

bool RequiredNodes::of(const Node& node)
{
    auto known = m_reach.find(&node);
    if (known == m_reach.end()) {
        explore(node);
        known = m_reach.find(&node);
    }
    if (known->second & Broken)
        return node.Required();
    return (known->second & NeedsInfo) != 0;
}

// Tarjan's strongly connected components, without recursion: the nodes of one cycle reach what
// any of them reaches.
void RequiredNodes::explore(const Node& start)
{
    struct State {
        qsizetype index = 0;
        qsizetype lowest = 0;
        bool onStack = false;
        quint8 reach = 0;
    };
    struct Frame {
        const Node* node;
        qsizetype next = 0; // the successor to look at next
    };
    std::unordered_map<const Node*, State> states;
    std::vector<const Node*> stack;
    std::vector<Frame> frames;
    qsizetype counter = 0;

    const auto enter = [&](const Node* node) {
        State& state = states[node];
        state.index = state.lowest = counter++;
        state.onStack = true;
        state.reach = ownReach(*node, NeedsInfo, Broken);
        stack.push_back(node);
        frames.push_back({node});
    };
    enter(&start);
    while (!frames.empty()) {
        Frame& frame = frames.back();
        const Node& node = *frame.node;
        const qsizetype successors = node.Links().Count() + 1;
        if (frame.next < successors) {
            const Node* next = successor(node, frame.next++);
            if (!next)
                continue;
            if (const auto finished = m_reach.find(next); finished != m_reach.end()) {
                states[&node].reach |= finished->second;
            } else if (const auto seen = states.find(next); seen == states.end()) {
                enter(next);
            } else if (seen->second.onStack) {
                State& state = states[&node];
                state.lowest = std::min(state.lowest, seen->second.index);
            }
            continue;
        }
        // Every successor looked at: a node that roots a component takes it off the stack.
        const State done = states[&node];
        frames.pop_back();
        if (done.lowest == done.index) {
            // The component lies on the stack from its root up.
            const auto root = std::find(stack.rbegin(), stack.rend(), &node).base() - 1;
            quint8 reach = 0;
            for (auto member = root; member != stack.end(); ++member)
                reach |= states[*member].reach;
            for (auto member = root; member != stack.end(); ++member)
                m_reach[*member] = reach;
            stack.erase(root, stack.end());
        }
        if (!frames.empty()) {
            State& parent = states[frames.back().node];
            const auto finished = m_reach.find(&node);
            if (finished != m_reach.end())
                parent.reach |= finished->second;
            else
                parent.lowest = std::min(parent.lowest, done.lowest);
        }
    }
}

} // namespace kelvane
