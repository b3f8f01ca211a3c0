#include "model/Layer.h"
#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/doubles/RecordingHostDisplay.h"
#include "model/doubles/RecordingNodeButton.h"
#include "model/doubles/StubKnowledgeBase.h"
#include "model/doubles/TestNetwork.h"

#include <gtest/gtest.h>

using namespace kelvane;

TEST(Node, NewNodeHasItsDefaults)
{
    auto network = doubles::TestNetwork::create();
    auto node = network->addNode(1);
    EXPECT_EQ(node->Default, 0.5);
    EXPECT_TRUE(node->NoDefault);
    EXPECT_EQ(node->GUID.size(), 44);
    EXPECT_EQ(node->Name()->Text(), QStringLiteral("Node 1"));
}
