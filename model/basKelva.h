#pragma once

#include "platform/Collection.h"

#include <QString>
#include <memory>

namespace kelvane {
class Node;
class TextLabel;
} // namespace kelvane

// The inference: how answers become degrees of truth along the links, how a new answer
// travels to the nodes that depend on it, automatic answering, contradictions between
// forcing links, and the answer text of a degree of truth. It keeps no state: everything it
// computes is written into the nodes and links. Every procedure reports its own failures
// through the common error reporter and returns its neutral result.
namespace basKelva {

using NodePtr = std::shared_ptr<kelvane::Node>;

// The node's degree of truth as its links give it. Writes the degree of truth of every
// counted link and the node's Contradiction; never the node's own answer. Unless quiet,
// a contradiction between two forcing links is shown to the user. Neutral result 0.5.
double CalculateAnswer(const NodePtr& node, bool Quiet = false);

// After an answer was stored on the node: marks it answered, clears answered ancestors,
// refreshes the parents' links, answers parents automatically where that is on, and hands
// the answer to the node's higher-level nodes. Each node the answer reaches is answered
// once, after all of its changed evidence (AnswerCascade): the state reached is the one
// PropogateAnswerAlongEveryPath reaches.
void PropogateAnswer(const NodePtr& node);

// The same, as the recursive definition walks it: every node once per path that reaches
// it, so its cost doubles with each layer of nodes that share parents. Used where the
// cascade holds a cycle (data read from a file), and by the tests as the reference.
void PropogateAnswerAlongEveryPath(const NodePtr& node);

// Clears Answered on the answered ancestors of the node (their answers stay), deepest first.
void UnanswerParents(const NodePtr& node);

// Recomputes the link degrees of truth of each parent of an enabled node.
void UpdateDOTParents(const NodePtr& node);
// The same for each of the nodes in turn (a layer's), each parent once however many of the
// nodes it has (it comes out the same whichever of them asks), yielding to the message loop
// every few milliseconds rather than after each parent: the program answers as it does, and a
// long list of nodes is not slowed down by a yield for each of them. The nodes are taken by
// place as the walk comes to them: ones a handler adds or removes meanwhile are met or not as
// their places fall.
void UpdateDOTParents(const kelvane::Collection<NodePtr>& nodes);

// Answers each parent from its links where automatic answering is on (the knowledge base,
// the user setting or the parent itself).
void AutoAnswerParents(const NodePtr& node);

// Recomputes the node and every node its links reach, each once.
void UpdateDOTChildren(const NodePtr& node);
// The same from each of the nodes in turn (a layer's), every node reached once in all: the
// degrees of truth are those of UpdateDOTChildren called for each node, at the cost of one walk.
void UpdateDOTChildren(const kelvane::Collection<NodePtr>& nodes);

// The answer text for a value: the answer at that point of the node's answer scale, the
// nearer one, or "Between <upper> and <lower>" halfway. Empty without answers.
QString GetAnswer(const NodePtr& node, double value);

// The same search giving the answer label itself; a new label for "Between ..."; null
// without answers.
std::shared_ptr<kelvane::TextLabel> GetAnswerObject(const NodePtr& node, double value);

} // namespace basKelva
