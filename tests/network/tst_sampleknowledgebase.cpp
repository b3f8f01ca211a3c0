// The bundled sample knowledge base opens, and a consultation on it concludes as a user
// of the sample would expect.
#include "model/Layer.h"
#include "model/Node.h"
#include "model/Report.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/doubles/StubKnowledgeBase.h"
#include "network/NetworkRecompute.h"
#include "network/clsNetwork.h"
#include "platform/TextEncoding.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kelvane;

namespace {

class SampleKnowledgeBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile file(QStringLiteral(KELVANE_SOURCE_DIR "/examples/car-diagnosis.xml"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QString text = platform::encoding::decodeStored(file.readAll());
        network->setFileName(file.fileName());
        ASSERT_TRUE(network->FileOpen(text, true));
        RecomputeDegreesOfTruth(*network);
        knowledgeBase->network = network;
        basGlobal::CurrentKnowledgeBase = knowledgeBase;
    }
    void TearDown() override { basGlobal::CurrentKnowledgeBase.reset(); }

    std::shared_ptr<Node> node(const QString& name)
    {
        for (const auto& layer : network->Layers())
            for (const auto& n : layer->Nodes())
                if (n->Name()->Text() == name)
                    return n;
        ADD_FAILURE() << name.toStdString();
        return {};
    }

    std::shared_ptr<clsNetwork> network = clsNetwork::create();
    std::shared_ptr<doubles::StubKnowledgeBase> knowledgeBase = std::make_shared<doubles::StubKnowledgeBase>();
};

} // namespace

TEST_F(SampleKnowledgeBase, OpensWithItsLayersNodesAndLinks)
{
    EXPECT_EQ(network->Name()->Text(), QStringLiteral("Car will not start"));
    ASSERT_EQ(network->Layers().Count(), 3);
    EXPECT_EQ(network->NodeCount(), 9);
    EXPECT_TRUE(network->AutoAnswer);
    EXPECT_EQ(node(QStringLiteral("Call for help"))->Links().Count(), 3);
    EXPECT_EQ(node(QStringLiteral("Engine cranks"))->Parents().Count(), 3);
}

TEST_F(SampleKnowledgeBase, DimLightsAndAClickingStarterPointToAFlatBattery)
{
    knowledgeBase->autoAnswer = network->AutoAnswer;
    node(QStringLiteral("Lights dim"))->setAnswer(1.0);
    node(QStringLiteral("Starter clicks"))->setAnswer(1.0);
    node(QStringLiteral("Engine cranks"))->setAnswer(0.0);

    const auto battery = node(QStringLiteral("Battery flat"));
    EXPECT_TRUE(battery->Answered);
    EXPECT_GT(battery->Answer(), 0.9);
    EXPECT_TRUE(node(QStringLiteral("Call for help"))->Answered);

    Report report;
    report.KnowledgeBase = knowledgeBase;
    const auto lines = report.ReportItems();
    ASSERT_EQ(lines.Count(), 1);
    EXPECT_TRUE(lines.Item(1)->Text.startsWith(QStringLiteral("Call for help is ")));
}
