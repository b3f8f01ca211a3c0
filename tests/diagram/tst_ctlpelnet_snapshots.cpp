// Snapshots before edits on the shared clipboard, the toolbar notice, undo levels, and the
// server updates of edits.
#include "DiagramTestSupport.h"

#include "diagram/CurrentUndoLevel.h"
#include "diagram/doubles/ScriptedServerSession.h"
#include "model/Layer.h"
#include "model/Node.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class Snapshots : public DiagramTest {
protected:
    Snapshots() { useNetworks({net.network}); }

    std::shared_ptr<clsNetwork> snapshotNetwork(qsizetype position)
    {
        return sharedClipboard()->Actions.Item(position)->OriginalObject.object<clsNetwork>();
    }

    NetworkBuilder net {{"A B", "C"}};
};

} // namespace

TEST_F(Snapshots, SnapshotCopiesTheShownNetworkWithItsGUIDsAndMarksItChanged)
{
    net.network->setDirty(false);
    ASSERT_TRUE(control->Change());
    const auto& action = sharedClipboard()->Actions.Item(1);
    EXPECT_EQ(action->action, 5);
    EXPECT_EQ(action->ObjectType, 2);
    EXPECT_EQ(action->NetworkGUID, net.network->GUID());
    const auto copy = snapshotNetwork(1);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, net.network);
    EXPECT_EQ(copy->GUID(), net.network->GUID());
    EXPECT_EQ(copy->Layers().Item(2)->Nodes().Item(1)->GUID, net["C"]->GUID);
    EXPECT_TRUE(net.network->Dirty());
    EXPECT_EQ(form.toolbarUpdates, 1);
}

TEST_F(Snapshots, TheClipboardKeepsTheLatestFortyEntries)
{
    for (int i = 1; i <= 45; ++i) {
        net.network->cintCounter = qint16(i); // tells the snapshots apart
        control->Change();
    }
    const auto& actions = sharedClipboard()->Actions;
    ASSERT_EQ(actions.Count(), 40);
    EXPECT_EQ(snapshotNetwork(1)->cintCounter, 6);
    EXPECT_EQ(snapshotNetwork(40)->cintCounter, 45);
}

TEST_F(Snapshots, ACopyIsDroppedOnceFortyEditsFollowIt)
{
    auto copy = std::make_shared<clsAction>();
    copy->action = 2;
    sharedClipboard()->Actions.Add(copy);
    for (int i = 0; i < 39; ++i)
        control->Change();
    EXPECT_EQ(sharedClipboard()->Actions.Item(1), copy);
    control->Change();
    EXPECT_NE(sharedClipboard()->Actions.Item(1), copy);
}

TEST_F(Snapshots, WhileTheOverviewIsShownTheOverviewIsCopied)
{
    NetworkBuilder lower({"L"});
    openLowerLevel(net["A"], net.network, lower.network, lower["L"]);
    useNetworks({net.network, lower.network});
    control->ViewOverview();
    ASSERT_TRUE(control->DisplayOverview);
    control->Change();
    EXPECT_EQ(sharedClipboard()->Actions.Item(1)->NetworkGUID, control->Overview->GUID());
    EXPECT_EQ(snapshotNetwork(1)->GUID(), control->Overview->GUID());
    EXPECT_EQ(snapshotNetwork(1)->NodeCount(), 2);
}

TEST_F(Snapshots, ToolbarNoticeIgnoresAMissingOrFailingHost)
{
    control->ParentForm = nullptr;
    control->UpdateToolbar();
    control->ParentForm = &form;
    form.refuseToolbar = true;
    ReportedErrors reported;
    control->UpdateToolbar();
    EXPECT_EQ(form.toolbarUpdates, 1);
    EXPECT_EQ(reported.count(), 0u);
}

TEST_F(Snapshots, UndoLevelsMoveTheCurrentItemsIntoTheHistories)
{
    const auto added = CurrentUndoLevel::AddedItems;
    const auto deleted = CurrentUndoLevel::DeletedItems;
    EXPECT_FALSE(control->IncreaseUndoLevel());
    ASSERT_EQ(control->AddedHistory.Count(), 1);
    EXPECT_EQ(control->AddedHistory.Item(1), added);
    EXPECT_EQ(control->DeletedHistory.Item(1), deleted);
    EXPECT_NE(CurrentUndoLevel::AddedItems, added);
    EXPECT_NE(CurrentUndoLevel::DeletedItems, deleted);
}

TEST_F(Snapshots, EditsAreSentToTheServerOnlyWhileLoadedAndConnected)
{
    const auto session = std::make_shared<doubles::ScriptedServerSession>();
    control->setServerSession(session);
    net.network->AddNode(1); // offline
    control->Connected = true;
    control->Loaded = false;
    net.network->AddNode(1); // a load under way
    EXPECT_TRUE(session->updates.empty());

    control->Loaded = true;
    net.network->AddNode(1);
    ASSERT_EQ(session->updates.size(), 1u);
    EXPECT_EQ(session->updates.front().guid, net.network->GUID());
    EXPECT_TRUE(session->updates.front().xml.startsWith(QStringLiteral("<kelvanenetwork>\r\n<network ")));
}
