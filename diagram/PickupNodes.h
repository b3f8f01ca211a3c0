#pragma once

#include <memory>

namespace kelvane {

class Node;

// The nodes that hold what the author last picked up from a node: the label styles, and the
// answer options. Shared by every diagram control of the run; empty until the first pick-up.
namespace PickupNodes {
inline std::shared_ptr<Node> FontPickupNode;
inline std::shared_ptr<Node> AnswerPickupNode;
} // namespace PickupNodes

} // namespace kelvane
