#include "model/AnswerCascade.h"

#include "model/ErrorTrap.h"
#include "model/Node.h"
#include "model/PropagationSupport.h"
#include "model/RequireObject.h"
#include "model/basKelva.h"
#include "platform/UiServices.h"

#include <QSet>

namespace kelvane {

using propagation::liveNodes;

namespace {

constexpr const char* kModule = "basKelva";

} // namespace

AnswerCascade::Children AnswerCascade::childrenOf(const NodePtr& node, bool isStart) const
{
    Children children;
    const bool parentsOnly = isStart && m_parentsOnly;
    // The literal walk answers parents only from an enabled node, and, when it propagates,
    // only from a relevant one; higher-level nodes always receive the answer.
    children.answersParents = node->Enabled() && (parentsOnly || !node->Irrelevant());
    if (children.answersParents) {
        children.parents = liveNodes(node->Parents());
        for (const auto& parent : children.parents)
            children.answers.push_back(propagation::answersAutomatically(*parent));
    }
    if (!parentsOnly)
        children.highers = liveNodes(node->HigherLevelNodes);
    return children;
}

bool AnswerCascade::plan(const NodePtr& start, bool parentsOnly)
{
    m_start = requireObject(start);
    m_parentsOnly = parentsOnly;
    m_children.clear();
    m_lastVisit.clear();

    // Depth first with the children in reverse order: the first path that reaches a node is
    // the last one the literal walk takes to it.
    struct Step {
        const Node* node;
        std::size_t remaining; // children not yet looked at, counted from the end
    };
    std::vector<Step> path;
    QSet<const Node*> onPath;
    QSet<const Node*> discovered;
    const auto enter = [&](const NodePtr& node) {
        const Children& children = m_children.insert(node.get(), childrenOf(node, node == m_start)).value();
        path.push_back({node.get(), children.parents.size() + children.highers.size()});
        onPath.insert(node.get());
        discovered.insert(node.get());
    };
    enter(m_start);
    while (!path.empty()) {
        Step& step = path.back();
        if (step.remaining == 0) {
            onPath.remove(step.node);
            path.pop_back();
            continue;
        }
        const std::size_t position = --step.remaining;
        const Children& children = m_children[step.node];
        const bool higher = position >= children.parents.size();
        const std::size_t index = higher ? position - children.parents.size() : position;
        if (!higher && !children.answers[index])
            continue;
        const NodePtr& child = higher ? children.highers[index] : children.parents[index];
        if (onPath.contains(child.get()))
            return false; // a cycle
        if (discovered.contains(child.get()))
            continue;
        m_lastVisit.insert(child.get(), Slot {step.node, higher, index});
        enter(child); // invalidates `step`
    }
    return true;
}

bool AnswerCascade::visitsThrough(const Node* from, bool higher, std::size_t index, const Node* child) const
{
    const auto found = m_lastVisit.constFind(child);
    return found != m_lastVisit.cend() && *found == Slot {from, higher, index};
}

void AnswerCascade::run()
{
    // The literal walk's procedures, each a frame: a propagation (its own steps, then its
    // parents, then its higher-level nodes), or, for a parents-only run, the automatic
    // answering of the start's parents.
    enum class Phase { OwnSteps, Parents, Highers };
    struct Frame {
        NodePtr node;
        Phase phase;
        std::size_t next = 0;
        bool waiting = false; // the child at `next` is being propagated
    };
    std::vector<Frame> frames;
    frames.push_back({m_start, m_parentsOnly ? Phase::Parents : Phase::OwnSteps});

    while (!frames.empty()) {
        const std::size_t top = frames.size() - 1;
        const char* procedure = frames[top].phase == Phase::Parents ? "AutoAnswerParents" : "PropogateAnswer";
        const bool stepped = trappedVoid(kModule, procedure, [&] {
            Frame& frame = frames[top];
            const Node* node = frame.node.get();
            const Children& children = m_children[node];
            switch (frame.phase) {
            case Phase::OwnSteps:
                frame.node->Answered = true;
                basKelva::UnanswerParents(frame.node);
                basKelva::UpdateDOTParents(frame.node);
                frame.phase = Phase::Parents;
                return;
            case Phase::Parents: {
                if (!children.answersParents || frame.next == children.parents.size()) {
                    frame.phase = Phase::Highers;
                    frame.next = 0;
                    return;
                }
                const NodePtr parent = children.parents[frame.next];
                if (frame.waiting) {
                    frame.waiting = false;
                    parent->Answered = true;
                } else if (children.answers[frame.next] && visitsThrough(node, false, frame.next, parent.get())) {
                    // The answer setter's work: store, then propagate.
                    parent->DOT = basKelva::CalculateAnswer(parent, true);
                    frame.waiting = true;
                    frames.push_back({parent, Phase::OwnSteps});
                    return;
                }
                ++frames[top].next;
                platform::ui().yield();
                return;
            }
            case Phase::Highers: {
                if (frame.next == children.highers.size()) {
                    frames.pop_back();
                    return;
                }
                const NodePtr higher = children.highers[frame.next];
                if (!frame.waiting && visitsThrough(node, true, frame.next, higher.get())) {
                    higher->Answered = true;
                    higher->DOT = frame.node->Answer();
                    frame.waiting = true;
                    frames.push_back({higher, Phase::OwnSteps});
                    return;
                }
                frame.waiting = false;
                ++frame.next;
                return;
            }
            }
        });
        if (!stepped)
            frames.resize(top); // the failed procedure ends; its caller goes on
    }
}

} // namespace kelvane
