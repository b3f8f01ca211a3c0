#include "ModelTestSupport.h"

#include "model/FontProperties.h"
#include "model/Layer.h"
#include "model/Property.h"
#include "model/doubles/RecordingNodeButton.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class Clone : public ModelTest {
protected:
    // A node with something in the members a copy takes, shares or leaves behind.
    std::shared_ptr<Node> richNode()
    {
        auto node = network->addNode(1);
        node->Question = label(QStringLiteral("Is it <A HREF='w'>wet</A>?"));
        node->Question->Font()->Bold = true;
        setAnswerTexts(*node, {"Yes", "No"});
        addControl(*node, QStringLiteral("Slider"), QStringLiteral("3"), QStringLiteral("1"));
        auto property = std::make_shared<Property>();
        property->Value = Variant::fromObject(label(QStringLiteral("held")));
        node->Properties.Add(property);
        node->Justification = label(QStringLiteral("See <A HREF='x'>this</A> &lt;now&gt;"));
        node->Justification->Font()->Italic = true;
        node->setAnswer(0.75);
        node->NoDefault = false;
        node->setEnabled(false);
        node->setExternalGUID(QStringLiteral("EXTNODE"));
        node->LowerLevelNode = std::make_shared<Node>();
        node->setOverridden(true);
        node->OldGUID = QStringLiteral("OLD");
        node->HigherLevelNodes.Add(network->addNode(2));
        node->Button = &button;
        node->setSelected(true);
        network->link(node, network->addNode(1));
        return node;
    }

    doubles::RecordingNodeButton button;
};

} // namespace

TEST_F(Clone, ANodeCopyTakesItsStateButNoPlaceInANetwork)
{
    auto source = richNode();
    auto copy = source->Clone(false);
    EXPECT_EQ(copy->GUID, source->GUID);
    EXPECT_DOUBLE_EQ(copy->Answer(), 0.75);
    EXPECT_TRUE(copy->Answered);
    EXPECT_FALSE(copy->NoDefault);
    EXPECT_FALSE(copy->Enabled());
    EXPECT_EQ(copy->ExternalGUID(), QStringLiteral("EXTNODE"));
    EXPECT_TRUE(copy->Overridden());
    EXPECT_EQ(copy->LowerLevelNode, source->LowerLevelNode); // shared

    EXPECT_TRUE(copy->Links().isEmpty());
    EXPECT_TRUE(copy->Layer.expired());
    EXPECT_TRUE(copy->Network.expired());
    EXPECT_TRUE(copy->OldGUID.isEmpty());
    EXPECT_TRUE(copy->HigherLevelNodes.isEmpty());
    EXPECT_EQ(copy->Button, nullptr);
    EXPECT_FALSE(copy->Selected());

    EXPECT_NE(source->Clone(true)->GUID, source->GUID);
}

TEST_F(Clone, ANodeCopySharesNothingMutableButTheObjectsItsPropertiesHold)
{
    auto source = richNode();
    auto copy = source->Clone(true);
    copy->Question->HTML = QStringLiteral("changed");
    copy->Question->Font()->Bold = false;
    copy->Answers.Item(1)->HTML = QStringLiteral("changed");
    copy->Controls().Item(1)->Value = QStringLiteral("changed");
    copy->Properties.Item(1)->Name = QStringLiteral("changed");
    copy->Name()->HTML = QStringLiteral("changed");

    EXPECT_EQ(source->Question->HTML, QStringLiteral("Is it <A HREF='w'>wet</A>?"));
    EXPECT_TRUE(source->Question->Font()->Bold);
    EXPECT_EQ(source->Answers.Item(1)->HTML, QStringLiteral("Yes"));
    EXPECT_EQ(source->Controls().Item(1)->Value, QStringLiteral("3"));
    EXPECT_TRUE(source->Properties.Item(1)->Name.isEmpty());
    EXPECT_EQ(source->Name()->HTML, QStringLiteral("Node 1")); // the default name, stored by the copy
    EXPECT_EQ(copy->Controls().Item(1)->Default, QStringLiteral("1"));

    copy->Properties.Item(1)->Value.object<TextLabel>()->HTML = QStringLiteral("seen by both");
    EXPECT_EQ(source->Properties.Item(1)->Value.object<TextLabel>()->HTML, QStringLiteral("seen by both"));
}

TEST_F(Clone, TheJustificationTravelsAsPlainText)
{
    auto source = richNode();
    auto copy = source->Clone(false);
    EXPECT_EQ(copy->Justification->HTML, QStringLiteral("See this <now>"));
    EXPECT_EQ(copy->Justification->Text(), source->Justification->Text());
    EXPECT_FALSE(copy->Justification->Font()->Italic);
}

TEST_F(Clone, ALayerCopyHoldsCopiesOfItsNodesInOrder)
{
    for (int i = 0; i < 3; ++i)
        network->addNode(2);
    const auto& source = network->layers.Item(2);
    auto copy = source->Clone(false);
    EXPECT_EQ(copy->Index, 2);
    EXPECT_TRUE(copy->Network.expired());
    ASSERT_EQ(copy->Nodes().Count(), 3);
    for (qsizetype i = 1; i <= 3; ++i) {
        EXPECT_NE(copy->Nodes().Item(i), source->Nodes().Item(i));
        EXPECT_EQ(copy->Nodes().Item(i)->GUID, source->Nodes().Item(i)->GUID);
        EXPECT_EQ(copy->Nodes().Item(i)->Layer.lock(), copy);
    }
    EXPECT_NE(source->Clone(true)->Nodes().Item(1)->GUID, source->Nodes().Item(1)->GUID);
}
