#include "network/LinkWalk.h"

#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/RequireObject.h"

#include <vector>

namespace kelvane {

LinkWalk::Outcome LinkWalk::from(const Node& start, const Visitor& visit)
{
    struct Step {
        const Node* node;
        qsizetype nextLink; // 1-based
    };
    std::vector<Step> path;
    std::unordered_set<const Node*> onPath;

    const auto enter = [&](const Node& node) {
        path.push_back({&node, 1});
        onPath.insert(&node);
    };
    if (m_finished.contains(&start))
        return Outcome::Completed;
    enter(start);

    while (!path.empty()) {
        Step& step = path.back();
        const auto& links = step.node->Links();
        if (step.nextLink > links.Count()) {
            onPath.erase(step.node);
            m_finished.insert(step.node);
            path.pop_back();
            continue;
        }
        const Node& evidence = *requireObject(requireObject(links.Item(step.nextLink++))->ConnectionTo);
        if (!visit(*step.node, evidence))
            return Outcome::Stopped;
        if (onPath.contains(&evidence))
            return Outcome::CycleFound;
        if (!m_finished.contains(&evidence))
            enter(evidence);
    }
    return Outcome::Completed;
}

bool LinkWalk::hasCycle(const Collection<std::shared_ptr<Layer>>& layers)
{
    LinkWalk walk;
    const auto visitAll = [](const Node&, const Node&) { return true; };
    for (const auto& layer : layers) {
        for (const auto& node : requireObject(layer)->Nodes()) {
            if (walk.from(*requireObject(node), visitAll) == Outcome::CycleFound)
                return true;
        }
    }
    return false;
}

} // namespace kelvane
