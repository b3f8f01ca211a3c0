#include "ModelTestSupport.h"

#include "model/Layer.h"
#include "model/basKelva.h"
#include "model/doubles/StubKnowledgeBase.h"

#include <chrono>
#include <cmath>
#include <limits>

using namespace kelvane;
using namespace kelvane::test;

namespace {

class Inference : public ModelTest {
protected:
    // A conclusion in layer 2 with `count` evidence nodes in layer 1, each answered `answer`
    // and linked with the weights given.
    std::shared_ptr<Node> conclusionOver(int count, double answer, double weightDeny, double weight,
                                         double weightAffirm)
    {
        auto conclusion = network->addNode(2);
        for (int i = 0; i < count; ++i)
            addEvidence(conclusion, answer, weightDeny, weight, weightAffirm);
        return conclusion;
    }

    std::shared_ptr<Link> addEvidence(const std::shared_ptr<Node>& conclusion, double answer, double weightDeny,
                                      double weight, double weightAffirm)
    {
        auto evidence = network->addNode(1);
        answerQuietly(*evidence, answer);
        auto link = network->link(conclusion, evidence);
        setWeights(*link, weightDeny, weight, weightAffirm);
        return link;
    }
};

} // namespace

TEST_F(Inference, SupportingLinksCombineAsNoisyOr)
{
    auto one = conclusionOver(1, 1.0, 0.5, 0.5, 0.8);
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(one, true), 0.8);
    EXPECT_DOUBLE_EQ(one->Links().Item(1)->DOT, 0.8);

    EXPECT_NEAR(basKelva::CalculateAnswer(conclusionOver(2, 1.0, 0.5, 0.5, 0.8), true), 0.92, 1e-12);
    EXPECT_NEAR(basKelva::CalculateAnswer(conclusionOver(3, 1.0, 0.5, 0.5, 0.8), true), 0.968, 1e-12);
}

TEST_F(Inference, OpposingLinksMirrorSupportingOnesAndBothSidesCombine)
{
    // Evidence answered false with WeightDeny 0.8 gives the link 1 - 0.8.
    auto opposed = conclusionOver(2, 0.0, 0.8, 0.5, 0.5);
    EXPECT_NEAR(basKelva::CalculateAnswer(opposed, true), 0.08, 1e-12);
    EXPECT_NEAR(opposed->Links().Item(1)->DOT, 0.2, 1e-12);

    auto mixed = network->addNode(2);
    auto upper = addEvidence(mixed, 0.75, 0.5, 0.5, 0.9);  // halfway up: 0.7
    auto lower = addEvidence(mixed, 0.25, 0.9, 0.5, 0.5);  // halfway down: 0.3
    auto neutral = addEvidence(mixed, 0.0, 0.5, 0.5, 0.5); // default weights: 0.5 whatever the answer
    EXPECT_NEAR(basKelva::CalculateAnswer(mixed, true), (1 - 0.3) - (0.5 - 0.3), 1e-12);
    EXPECT_NEAR(upper->DOT, 0.7, 1e-12);
    EXPECT_NEAR(lower->DOT, 0.3, 1e-12);
    EXPECT_DOUBLE_EQ(neutral->DOT, 0.5);
}

TEST_F(Inference, UncountedLinksLeaveTheNodeUndecidedAndKeepTheirValues)
{
    auto conclusion = network->addNode(2);
    conclusion->Contradiction = true;
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(conclusion, true), 0.5);
    EXPECT_FALSE(conclusion->Contradiction);

    auto unanswered = addEvidence(conclusion, 1.0, 0.5, 0.5, 0.9);
    unanswered->ConnectionTo->Answered = false;
    auto disabled = addEvidence(conclusion, 1.0, 0.5, 0.5, 0.9);
    disabled->ConnectionTo->setEnabled(false);
    auto needsInfo = addEvidence(conclusion, 1.0, 0.5, 0.5, 0.9);
    addControl(*needsInfo->ConnectionTo, QStringLiteral("Need Info"), QStringLiteral("true"));
    auto inactive = addEvidence(conclusion, 1.0, 0.5, 0.5, 0.9);
    inactive->Active = false;
    for (const auto& link : conclusion->Links())
        link->DOT = 0.3;

    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(conclusion, true), 0.5);
    for (const auto& link : conclusion->Links())
        EXPECT_DOUBLE_EQ(link->DOT, 0.3);

    // Irrelevant evidence counts as undecided: its link neither forces nor counts.
    auto irrelevant = addEvidence(conclusion, 1.0, 0.5, 0.5, 1.0);
    irrelevant->AlwaysAffirm = true;
    addControl(*irrelevant->ConnectionTo, QStringLiteral("irrelevant"), QStringLiteral("TRUE"));
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(conclusion, true), 0.5);
    EXPECT_DOUBLE_EQ(irrelevant->DOT, 0.5);
}

TEST_F(Inference, ForcingLinksDecideWhateverTheOthersSay)
{
    auto forcedTrue = network->addNode(2);
    addEvidence(forcedTrue, 0.0, 0.9, 0.5, 0.5); // strongly against
    addEvidence(forcedTrue, 1.0, 0.5, 0.5, 1.0)->AlwaysAffirm = true;
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(forcedTrue, true), 1.0);

    // Either flag with its own weight suffices: AlwaysDeny with WeightDeny 0 on a false answer.
    auto denyEnd = network->addNode(2);
    addEvidence(denyEnd, 0.0, 0.0, 0.5, 0.5)->AlwaysDeny = true;
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(denyEnd, true), 1.0);

    auto forcedFalse = network->addNode(2);
    addEvidence(forcedFalse, 1.0, 0.5, 0.5, 0.9);
    addEvidence(forcedFalse, 0.0, 1.0, 0.5, 0.5)->AlwaysDeny = true;
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(forcedFalse, true), 0.0);
    EXPECT_FALSE(forcedFalse->Contradiction);
}

TEST_F(Inference, TwoForcingLinksThatDisagreeAreAContradiction)
{
    auto conclusion = network->addNode(2);
    auto first = addEvidence(conclusion, 1.0, 0.5, 0.5, 1.0);
    first->AlwaysAffirm = true;
    auto later = addEvidence(conclusion, 1.0, 0.5, 0.5, 1.0);
    later->AlwaysAffirm = true;
    auto against = addEvidence(conclusion, 0.0, 1.0, 0.5, 0.5);
    against->AlwaysDeny = true;
    first->ConnectionTo->setName(label(QStringLiteral("Rain")));
    later->ConnectionTo->setName(label(QStringLiteral("Wind")));
    against->ConnectionTo->setName(label(QStringLiteral("Snow")));
    for (const auto& link : conclusion->Links())
        setAnswerTexts(*link->ConnectionTo, {"Yes", "No"});

    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(conclusion, true), 0.5);
    EXPECT_TRUE(conclusion->Contradiction);
    EXPECT_TRUE(ui->messageBoxes.empty());

    conclusion->Contradiction = false;
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(conclusion), 0.5);
    EXPECT_TRUE(conclusion->Contradiction);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    // The later forcing link of a kind names the clause; " is " and " always " join as they stand.
    EXPECT_EQ(ui->messageBoxes[0].text,
              QStringLiteral("There is a contradiction because Wind is  always Yes and Snow is  always No"));
    EXPECT_EQ(ui->messageBoxes[0].style, platform::msgbox::Information);
    EXPECT_EQ(ui->messageBoxes[0].title, platform::applicationTitle());
}

TEST_F(Inference, NonFiniteValuesAreReportedAndNeverStored)
{
    basLibrary::DebugMode = true;
    auto conclusion = network->addNode(2);
    auto link = addEvidence(conclusion, std::numeric_limits<double>::quiet_NaN(), 0.5, 0.5, 0.9);
    link->DOT = 0.3;
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(conclusion, true), 0.5);
    EXPECT_DOUBLE_EQ(link->DOT, 0.3);
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text,
              QStringLiteral("Error in routine: CalculateAnswer in module: basKelva\r[6] Overflow"));

    // Finite weights whose products overflow.
    link->ConnectionTo->DOT = 1.0;
    setWeights(*link, 0.5, -1e308, 1e308);
    EXPECT_DOUBLE_EQ(basKelva::CalculateAnswer(conclusion, true), 0.5);
    EXPECT_DOUBLE_EQ(link->DOT, 0.3);
}

// A chain Top (layer 3) -> Middle (layer 2) -> Bottom (layer 1), each link 0.5/0.5/0.8.
class Chain : public Inference {
protected:
    void SetUp() override
    {
        bottom = network->addNode(1);
        middle = network->addNode(2);
        top = network->addNode(3);
        lower = network->link(middle, bottom);
        upper = network->link(top, middle);
        setWeights(*lower, 0.5, 0.5, 0.8);
        setWeights(*upper, 0.5, 0.5, 0.8);
    }

    std::shared_ptr<Node> bottom, middle, top;
    std::shared_ptr<Link> lower, upper;
};

TEST_F(Chain, AnsweringRefreshesTheParentsLinksWithoutAnsweringThem)
{
    bottom->setAnswer(1.0);
    EXPECT_TRUE(bottom->Answered);
    EXPECT_DOUBLE_EQ(lower->DOT, 0.8);
    EXPECT_FALSE(middle->Answered);
    EXPECT_FALSE(top->Answered);
    EXPECT_EQ(ui->yields, 2); // after refreshing the parent, and after considering it for answering
}

TEST_F(Chain, TheParentsOwnFlagAnswersItAndStopsWhereTheFlagsEnd)
{
    middle->AutoAnswer = true;
    bottom->setAnswer(1.0);
    EXPECT_TRUE(middle->Answered);
    EXPECT_DOUBLE_EQ(middle->Answer(), 0.8);
    EXPECT_FALSE(top->Answered);
    EXPECT_NEAR(upper->DOT, 0.68, 1e-12); // refreshed from the new answer of the middle node
}

TEST_F(Chain, TheUserSettingOrTheKnowledgeBaseAnswersTheWholeChain)
{
    basGlobal::Settings.AutoAnswer = true;
    bottom->setAnswer(1.0);
    EXPECT_TRUE(top->Answered);
    EXPECT_NEAR(top->Answer(), 0.68, 1e-12);

    basGlobal::Settings.AutoAnswer = false;
    auto knowledgeBase = std::make_shared<doubles::StubKnowledgeBase>();
    knowledgeBase->autoAnswer = true;
    basGlobal::CurrentKnowledgeBase = knowledgeBase;
    bottom->setAnswer(0.0);
    EXPECT_TRUE(top->Answered);
    EXPECT_DOUBLE_EQ(middle->Answer(), 0.5); // WeightDeny 0.5: a false answer says nothing
}

TEST_F(Chain, ANewAnswerClearsAnsweredAncestorsButKeepsTheirAnswers)
{
    answerQuietly(*middle, 0.9);
    answerQuietly(*top, 0.7);
    auto unansweredEvidence = network->addNode(2);
    auto sideLink = network->link(top, unansweredEvidence);
    sideLink->DOT = 0.9;

    bottom->setAnswer(1.0);
    EXPECT_FALSE(middle->Answered);
    EXPECT_FALSE(top->Answered);
    EXPECT_DOUBLE_EQ(middle->Answer(), 0.9);
    EXPECT_DOUBLE_EQ(top->Answer(), 0.7);
    EXPECT_DOUBLE_EQ(sideLink->DOT, 0.5); // its evidence has no answer and no default
}

TEST_F(Chain, ADisabledNodeStillHandsItsAnswerToItsHigherLevelNodes)
{
    auto higherNetwork = doubles::TestNetwork::create();
    auto external = higherNetwork->addNode(1);
    auto externalParent = higherNetwork->addNode(2);
    auto externalLink = higherNetwork->link(externalParent, external);
    setWeights(*externalLink, 0.5, 0.5, 0.9);
    bottom->HigherLevelNodes.Add(external);

    answerQuietly(*middle, 0.6);
    lower->DOT = 0.3;
    bottom->setEnabled(false);
    bottom->setAnswer(1.0);

    EXPECT_TRUE(middle->Answered);
    EXPECT_DOUBLE_EQ(lower->DOT, 0.3);
    EXPECT_TRUE(external->Answered);
    EXPECT_DOUBLE_EQ(external->Answer(), 1.0);
    EXPECT_DOUBLE_EQ(externalLink->DOT, 0.9); // the answer propagated in the higher network
}

TEST_F(Chain, ResetWithAutomaticAnsweringResetsTheAncestorsLeftWithoutAnsweredEvidence)
{
    basGlobal::Settings.AutoAnswer = true;
    bottom->setAnswer(1.0);
    ASSERT_TRUE(top->Answered);
    bottom->NoDefault = false;
    bottom->Default = 0.8;

    // Restoring the default answers the ancestors again; then the bottom node becomes
    // unanswered, so the middle node and, in turn, the top node are reset.
    bottom->Reset();
    EXPECT_DOUBLE_EQ(bottom->Answer(), 0.8);
    EXPECT_FALSE(bottom->Answered);
    EXPECT_FALSE(middle->Answered);
    EXPECT_DOUBLE_EQ(middle->Answer(), 0.5);
    EXPECT_FALSE(top->Answered);
    EXPECT_DOUBLE_EQ(top->Answer(), 0.5);
}

TEST_F(Chain, ResettingALowerLevelNodeResetsItsHigherLevelNodes)
{
    auto higherNetwork = doubles::TestNetwork::create();
    auto external = higherNetwork->addNode(1);
    bottom->HigherLevelNodes.Add(external);
    bottom->setAnswer(1.0);
    ASSERT_TRUE(external->Answered);
    external->Justification->setText(QStringLiteral("copied"));

    bottom->Reset();
    EXPECT_FALSE(external->Answered);
    EXPECT_DOUBLE_EQ(external->Answer(), 0.5);
    EXPECT_EQ(external->Justification->HTML, QString());
}

TEST_F(Inference, GetAnswerReadsTheAnswerScale)
{
    auto node = network->addNode(1);
    EXPECT_EQ(basKelva::GetAnswer(node, 0.5), QString());
    EXPECT_EQ(basKelva::GetAnswerObject(node, 0.5), nullptr);

    setAnswerTexts(*node, {"Yes", "Maybe", "No"});
    EXPECT_EQ(basKelva::GetAnswer(node, 1.0), QStringLiteral("Yes"));
    EXPECT_EQ(basKelva::GetAnswer(node, 0.5), QStringLiteral("Maybe"));
    EXPECT_EQ(basKelva::GetAnswer(node, 0.5004), QStringLiteral("Maybe")); // the same thousandth
    EXPECT_EQ(basKelva::GetAnswer(node, 0.3), QStringLiteral("Maybe"));    // nearer
    EXPECT_EQ(basKelva::GetAnswer(node, 0.2), QStringLiteral("No"));
    EXPECT_EQ(basKelva::GetAnswer(node, 0.25), QStringLiteral("Between Maybe and No"));
    EXPECT_EQ(basKelva::GetAnswer(node, 0.0), QStringLiteral("No"));
    EXPECT_EQ(basKelva::GetAnswer(node, 1.5), QStringLiteral("Yes")); // beyond the scale

    EXPECT_EQ(basKelva::GetAnswerObject(node, 1.0), node->Answers.Item(1));
    const auto between = basKelva::GetAnswerObject(node, 0.75);
    ASSERT_NE(between, nullptr);
    EXPECT_EQ(between->Text(), QStringLiteral("Between Yes and Maybe"));
    EXPECT_EQ(node->Answers.Count(), 3);

    setAnswerTexts(*node, {"Only"});
    EXPECT_EQ(basKelva::GetAnswer(node, 0.0), QStringLiteral("Only"));
    EXPECT_EQ(basKelva::GetAnswer(node, 0.9), QStringLiteral("Only"));
}

TEST_F(Inference, AnEditMadeWhileYieldingDoesNotDisturbTheWalk)
{
    auto evidence = network->addNode(1);
    std::vector<std::shared_ptr<Node>> parents;
    for (int i = 0; i < 3; ++i) {
        parents.push_back(network->addNode(2));
        setWeights(*network->link(parents.back(), evidence), 0.5, 0.5, 0.9);
        parents.back()->AutoAnswer = true;
    }
    // Three yields refresh the parents' links; a handler run during the yield after the
    // first parent is answered unlinks everything.
    ui->onYield = [&] {
        if (ui->yields != 4)
            return;
        evidence->Parents().Clear();
        for (const auto& parent : parents)
            parent->Links().Clear();
    };
    evidence->setAnswer(1.0);
    EXPECT_TRUE(parents[0]->Answered);
    EXPECT_DOUBLE_EQ(parents[0]->Answer(), 0.9);
    // The later parents are still visited, now without links.
    EXPECT_TRUE(parents[2]->Answered);
    EXPECT_DOUBLE_EQ(parents[2]->Answer(), 0.5);
}

TEST_F(Inference, CyclesReadFromAFileEndEveryWalk)
{
    basGlobal::Settings.AutoAnswer = true;
    auto a = network->addNode(2);
    auto b = network->addNode(1);
    setWeights(*network->link(a, b), 0.5, 0.5, 0.9);
    setWeights(*network->link(b, a), 0.5, 0.5, 0.9);
    a->HigherLevelNodes.Add(b);
    b->HigherLevelNodes.Add(a);
    a->LowerLevelNode = b;
    b->LowerLevelNode = a;

    // Each walk ends; what the answers come to on such data is not meaningful.
    b->setAnswer(1.0);
    basKelva::UnanswerParents(a);
    basKelva::UpdateDOTChildren(a);
    EXPECT_FALSE(a->Required());
    a->Reset();
    for (const auto& node : {a, b}) {
        EXPECT_GE(node->Answer(), 0.0);
        EXPECT_LE(node->Answer(), 1.0);
    }
    EXPECT_LT(ui->yields, 100);
}

TEST_F(Inference, UpdateDOTChildrenOnThirtyLayersVisitsEachNodeOnce)
{
    constexpr int layers = 30;
    constexpr int width = 3;
    for (int layer = 1; layer <= layers; ++layer) {
        for (int i = 0; i < width; ++i) {
            auto node = network->addNode(static_cast<qint16>(layer));
            answerQuietly(*node, 1.0);
            if (layer == 1)
                continue;
            for (qint16 below = 1; below <= width; ++below)
                setWeights(*network->link(node, network->node(static_cast<qint16>(layer - 1), below)), 0.5, 0.5, 0.8);
        }
    }
    // Along every path there would be 3^29 visits; once per node it is instant.
    const auto started = std::chrono::steady_clock::now();
    basKelva::UpdateDOTChildren(network->node(layers, 1));
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 200);

    // Every node below the top node was computed: all their links carry 0.8.
    for (qint16 layer = 2; layer < layers; ++layer) {
        for (const auto& node : network->layers.Item(layer)->Nodes()) {
            for (const auto& link : node->Links())
                ASSERT_DOUBLE_EQ(link->DOT, 0.8);
        }
    }
    EXPECT_DOUBLE_EQ(network->node(layers, 2)->Links().Item(1)->DOT, 0.5); // not below the top node
}
