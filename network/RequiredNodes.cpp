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
    const auto [visit, fresh] = visitOf(node);
    if (fresh) {
        try {
            explore(visit);
        } catch (...) {
            forgetFrom(visit); // the walk left half done is walked again when asked again
            throw;
        }
    }
    const quint8 reach = m_visits[visit].reach;
    if (reach & Broken)
        return node.Required();
    return (reach & NeedsInfo) != 0;
}

std::pair<RequiredNodes::VisitNumber, bool> RequiredNodes::visitOf(const Node& node)
{
    if (m_visits.empty() && m_nodesExpected > 0) {
        m_nodes.reserve(std::size_t(m_nodesExpected));
        m_visits.reserve(std::size_t(m_nodesExpected));
    }
    const VisitNumber visit = m_nodes.placeOf(node);
    if (visit < m_visits.size())
        return {visit, false};
    try {
        m_visits.push_back({visit});
    } catch (...) {
        forgetFrom(visit); // no node is numbered without its visit
        throw;
    }
    return {visit, true};
}

void RequiredNodes::forgetFrom(VisitNumber visit)
{
    m_nodes.forgetFrom(visit);
    m_visits.resize(visit);
}

// Tarjan's strongly connected components, without recursion: the nodes of one cycle reach what
// any of them reaches. The visits are numbered in the order the walks come to them, so that a
// visit's place is its number in the walk.
void RequiredNodes::explore(VisitNumber start)
{
    std::vector<VisitNumber>& stack = m_stack;
    std::vector<Frame>& frames = m_frames;
    stack.clear(); // what a walk that failed left
    frames.clear();
    const auto visitAt = [&](VisitNumber visit) -> Visit& { return m_visits[visit]; };
    const auto enter = [&](VisitNumber visit) {
        Visit& entered = visitAt(visit);
        entered.onStack = true;
        entered.reach = ownReach(m_nodes.nodeAt(visit), NeedsInfo, Broken);
        stack.push_back(visit);
        frames.push_back({visit});
    };
    enter(start);
    while (!frames.empty()) {
        Frame& frame = frames.back();
        const VisitNumber visit = frame.visit;
        const Node& node = m_nodes.nodeAt(visit);
        const qsizetype successors = node.Links().Count() + 1;
        if (frame.next < successors) {
            const Node* next = successor(node, frame.next++);
            if (!next)
                continue;
            const auto [to, fresh] = visitOf(*next);
            if (fresh) {
                enter(to);
                continue;
            }
            const Visit& seen = visitAt(to);
            Visit& here = visitAt(visit);
            if (seen.finished)
                here.reach |= seen.reach;
            else if (seen.onStack)
                here.lowest = std::min(here.lowest, to);
            continue;
        }
        // Every successor looked at: a node that roots a component takes it off the stack.
        frames.pop_back();
        if (visitAt(visit).lowest == visit) {
            // The component lies on the stack from its root up.
            const auto root = std::find(stack.rbegin(), stack.rend(), visit).base() - 1;
            quint8 reach = 0;
            for (auto member = root; member != stack.end(); ++member)
                reach |= visitAt(*member).reach;
            for (auto member = root; member != stack.end(); ++member) {
                Visit& finished = visitAt(*member);
                finished.reach = reach;
                finished.onStack = false;
                finished.finished = true;
            }
            stack.erase(root, stack.end());
        }
        if (!frames.empty()) {
            const Visit& done = visitAt(visit);
            Visit& parent = visitAt(frames.back().visit);
            if (done.finished)
                parent.reach |= done.reach;
            else
                parent.lowest = std::min(parent.lowest, done.lowest);
        }
    }
}

} // namespace kelvane
