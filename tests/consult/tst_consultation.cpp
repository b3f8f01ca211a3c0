// The consultation on its own: a failure on the way, and input that arrives while the program
// yields. (Its roads through the main window are walked in the shell's tests.)
#include "tests/consult/ConsultTestSupport.h"


using namespace kelvane;
using namespace kelvane::test;

namespace {

class Consultation : public ConsultationTest {};

} // namespace

TEST_F(Consultation, AFailureOnTheWayLeavesTheMainWindowEnabled)
{
    // An external node whose lower-level node is missing.
    E->setExternal(true);
    E->LowerLevelNetwork = net.network;
    E->LowerLevelNode.reset();
    EXPECT_FALSE(click(E));
    EXPECT_TRUE(main.Enabled());

    // External nodes that lead back to each other.
    C->setExternal(true);
    C->LowerLevelNetwork = net.network;
    C->Links().Clear();
    E->LowerLevelNode = C;
    C->LowerLevelNode = E;
    EXPECT_FALSE(click(E));
    EXPECT_TRUE(main.Enabled());
    EXPECT_EQ(showingCount(), 0);
}

TEST_F(Consultation, InputWhileTheProgramYieldsDoesNotActTwice)
{
    // A second OK while the answer propagates.
    click(E);
    frmQuestion* question = showing<frmQuestion>();
    ui->onYield = once([question] { question->cmdOK_Click(); });
    question->cmdOK_Click();
    EXPECT_EQ(events(), QStringList({QStringLiteral("BeforeQuestion E"), QStringLiteral("AfterQuestion E")}));

    // OK while the answer control glides to an option (E is answered now, so C is asked at
    // once): the dialog may go while it glides.
    click(C);
    question = showing<frmQuestion>();
    ui->onYield = once([question] {
        question->cmdOK_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    choose(*question, 1);
    EXPECT_EQ(events().count(QStringLiteral("AfterQuestion C")), 1);
    EXPECT_EQ(showing<frmAnswer>()->node, C);
}
