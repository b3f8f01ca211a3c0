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

bool AncestorClearing::Lineage::enter(const Member& node)
{
    return m_onPath.insert(requireObject(node).get()).second;
}

AncestorClearing::Lineage::Members AncestorClearing::Lineage::parents(const Member& node) const
{
    return node->Enabled() ? propagation::liveNodes(node->Parents()) : Members {};
}

AncestorClearing::Lineage::Members AncestorClearing::Lineage::highers(const Member& node) const
{
    return propagation::liveNodes(node->HigherLevelNodes);
}

bool AncestorClearing::Lineage::answered(const Member& node) const
{
    return node->Answered;
}

void AncestorClearing::Lineage::unanswer(const Member& node) const
{
    node->Answered = false;
}

void AncestorClearing::Lineage::clearLinks(const Member& parent) const
{
    for (const auto& link : parent->Links().Snapshot()) {
        const auto& evidence = requireObject(requireObject(link)->ConnectionTo);
        if (!evidence->Answered && evidence->NoDefault)
            link->DOT = 0.5;
    }
}

template <class Step>
bool AncestorClearing::Lineage::attempt(Step&& step)
{
    return trappedVoid(kModule, "UnanswerParents", std::forward<Step>(step));
}

void AncestorClearing::from(const std::shared_ptr<Node>& start)
{
    m_walk.from(start);
}

} // namespace kelvane
