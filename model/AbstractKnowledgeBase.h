#pragma once

#include <memory>

namespace kelvane {

class AbstractNetwork;

// The document object of an open knowledge base, as layers, reports and the inference see it.
class AbstractKnowledgeBase {
public:
    virtual ~AbstractKnowledgeBase() = default;

    // The knowledge base's network; an empty one is made and kept when it has none, so
    // the result is never null.
    virtual std::shared_ptr<AbstractNetwork> Network() = 0;

    // The network's automatic-answering setting.
    virtual bool AutoAnswer() = 0;
};

} // namespace kelvane
