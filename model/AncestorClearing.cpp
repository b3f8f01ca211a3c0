#include "model/AncestorClearing.h"

#include "model/ErrorTrap.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/PropagationSupport.h"
#include "model/RequireObject.h"

namespace kelvane {

namespace {

constexpr const char* kModule = "basKelva";

} // namespace

void AncestorClearing::from(const std::shared_ptr<Node>& start)
{
    enter(start);
    while (!m_frames.empty())
        step();
}

void AncestorClearing::unanswer(Node& node)
{
    node.Answered = false;
}

void AncestorClearing::clearLinks(Node& parent)
{
    for (const auto& link : parent.Links().Snapshot()) {
        const auto& evidence = requireObject(requireObject(link)->ConnectionTo);
        if (!evidence->Answered && evidence->NoDefault)
            link->DOT = 0.5;
    }
}

void AncestorClearing::enter(const std::shared_ptr<Node>& node)
{
    trappedVoid(kModule, "UnanswerParents", [&] {
        const auto& target = requireObject(node);
        // A node met again along a cycle is not walked again.
        if (!m_onPath.insert(target.get()).second)
            return;
        Frame frame {target, {}, propagation::liveNodes(target->HigherLevelNodes)};
        if (target->Enabled())
            frame.parents = propagation::liveNodes(target->Parents());
        m_frames.push_back(std::move(frame));
    });
}

void AncestorClearing::leave()
{
    m_onPath.erase(m_frames.back().node.get());
    m_frames.pop_back();
}

void AncestorClearing::step()
{
    const std::size_t top = m_frames.size() - 1;
    const bool stepped = trappedVoid(kModule, "UnanswerParents", [&] {
        Frame& frame = m_frames[top];
        if (frame.next < frame.parents.size()) {
            const std::shared_ptr<Node> parent = frame.parents[frame.next];
            if (!frame.waiting && parent->Answered) {
                frame.waiting = true;
                enter(parent);
                return;
            }
            if (frame.waiting)
                unanswer(*parent);
            frame.waiting = false;
            ++frame.next;
            clearLinks(*parent);
            return;
        }
        const std::size_t higherIndex = frame.next - frame.parents.size();
        if (higherIndex == frame.highers.size()) {
            leave();
            return;
        }
        const std::shared_ptr<Node> higher = frame.highers[higherIndex];
        ++frame.next;
        unanswer(*higher);
        enter(higher);
    });
    if (!stepped && m_frames.size() > top)
        leave(); // the failed walk ends; the one that asked for it goes on
}

} // namespace kelvane
