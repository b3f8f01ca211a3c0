#pragma once

#include <cstddef>
#include <vector>

namespace kelvane {

// The walk that clears the answers of a node's ancestors, whatever holds a node: from the
// start, each answered parent is walked first and unanswered after (the deepest first, as the
// recursive definition does), and every parent passed has its links cleared; then each
// higher-level node is unanswered and walked. It keeps a stack of its own: chains of answered
// nodes can be thousands long. A node met again along a cycle is not walked again. A step that
// fails ends the walk of its node only; the one that asked for it goes on.
//
// `Lineage` holds the nodes, keeps the path and makes the changes:
//   Member, Members            how one node is held; a list of them, kept while a node is walked
//   bool enter(Member)         stands on the node; false when it is on the path already
//   void leave(Member)
//   Members parents(Member)    (none for a disabled node: its parents stay as they are)
//   Members highers(Member)    its higher-level nodes
//   bool answered(Member); void unanswer(Member); void clearLinks(Member)
//   bool attempt(step)         runs one step; false when it failed
// The walk's memory is kept from one walk to the next.
template <class Lineage>
class AncestorWalk {
public:
    using Member = typename Lineage::Member;
    using Members = typename Lineage::Members;

    explicit AncestorWalk(Lineage& lineage) : m_lineage(lineage) {}

    void from(const Member& start)
    {
        enter(start);
        while (!m_frames.empty())
            step();
    }

private:
    struct Frame {
        Member node;
        Members parents;
        Members highers;
        std::size_t next = 0; // parents first, then higher-level nodes
        bool waiting = false; // the ancestor at `next` is being cleared
    };

    void enter(const Member& node)
    {
        m_lineage.attempt([&] {
            if (m_lineage.enter(node))
                m_frames.push_back({node, m_lineage.parents(node), m_lineage.highers(node)});
        });
    }

    void leave()
    {
        m_lineage.leave(m_frames.back().node);
        m_frames.pop_back();
    }

    void step()
    {
        const std::size_t top = m_frames.size() - 1;
        const bool stepped = m_lineage.attempt([&] {
            Frame& frame = m_frames[top];
            if (frame.next < frame.parents.size()) {
                const Member parent = frame.parents[frame.next]; // entering may move the frames
                if (!frame.waiting && m_lineage.answered(parent)) {
                    frame.waiting = true;
                    enter(parent);
                    return;
                }
                if (frame.waiting)
                    m_lineage.unanswer(parent);
                frame.waiting = false;
                ++frame.next;
                m_lineage.clearLinks(parent);
                return;
            }
            const std::size_t higherIndex = frame.next - frame.parents.size();
            if (higherIndex == frame.highers.size()) {
                leave();
                return;
            }
            const Member higher = frame.highers[higherIndex];
            ++frame.next;
            m_lineage.unanswer(higher);
            enter(higher);
        });
        if (!stepped && m_frames.size() > top)
            leave();
    }

    Lineage& m_lineage;
    std::vector<Frame> m_frames;
};

} // namespace kelvane
