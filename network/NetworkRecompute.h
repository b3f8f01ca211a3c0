#pragma once

#include "platform/Collection.h"

#include <memory>

namespace kelvane {

class clsNetwork;

// After a knowledge base is opened, the degrees of truth are worked out again from the stored
// answers: first the links of the parents of every node of layer 1, then every node of the last
// layer with everything its links reach, each node once whatever the layering. Networks
// without layers are left alone.
void RecomputeDegreesOfTruth(clsNetwork& network);
void RecomputeDegreesOfTruth(const Collection<std::shared_ptr<clsNetwork>>& networks);

// Clears the answer of every node of every network (a template opened, or a knowledge base
// opened afresh), as resetting each node in turn does.
void ResetAnswers(const Collection<std::shared_ptr<clsNetwork>>& networks);

} // namespace kelvane
