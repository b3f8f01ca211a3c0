#pragma once

#include "model/AbstractKnowledgeBase.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/basGlobal.h"

#include <memory>
#include <vector>

// Small pieces shared by the ways an answer propagates (basKelva, AnswerCascade).
namespace kelvane::propagation {

// The live nodes of a collection of node references, copied: propagation yields to the
// message loop, and a handler run meanwhile may edit the collection.
inline std::vector<std::shared_ptr<Node>> liveNodes(const Collection<std::weak_ptr<Node>>& references)
{
    std::vector<std::shared_ptr<Node>> nodes;
    nodes.reserve(static_cast<std::size_t>(references.Count()));
    for (const auto& reference : references) {
        if (auto node = reference.lock())
            nodes.push_back(std::move(node));
    }
    return nodes;
}

// The link's degree of truth for an evidence answer a: through (0, 1 - WeightDeny),
// (0.5, Weight) and (1, WeightAffirm), linear on each half.
inline double linkDegreeOfTruth(const Link& link, double a)
{
    if (a >= 0.5)
        return (2 * a - 1) * (link.WeightAffirm - link.Weight) + link.Weight;
    return (link.Weight - (1 - link.WeightDeny)) * 2 * a + (1 - link.WeightDeny);
}

// Automatic answering is on for every node: for the knowledge base, or in the user's settings.
inline bool answersAutomaticallyForAll()
{
    const auto& knowledgeBase = basGlobal::CurrentKnowledgeBase;
    return (knowledgeBase && knowledgeBase->AutoAnswer()) || basGlobal::Settings.AutoAnswer;
}

// Automatic answering is on for the parent: for every node, or for the parent itself.
inline bool answersAutomatically(const Node& parent)
{
    return answersAutomaticallyForAll() || parent.AutoAnswer;
}

} // namespace kelvane::propagation
