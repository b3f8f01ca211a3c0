#pragma once

#include "model/AbstractKnowledgeBase.h"
#include "model/doubles/TestNetwork.h"

#include <memory>

namespace kelvane::doubles {

// A knowledge base for tests: hands out its network (a new TestNetwork when it has none)
// and the automatic-answering flag it is given; counts the requests for its network.
class StubKnowledgeBase : public AbstractKnowledgeBase {
public:
    std::shared_ptr<AbstractNetwork> network;
    bool autoAnswer = false;
    int networkCalls = 0;

    std::shared_ptr<AbstractNetwork> Network() override
    {
        ++networkCalls;
        if (!network)
            network = TestNetwork::create();
        return network;
    }
    bool AutoAnswer() override { return autoAnswer; }
};

} // namespace kelvane::doubles
