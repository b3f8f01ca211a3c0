// The network menu: the items it offers in each state, and its commands on the whole network.
#include "PointerTestSupport.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

// Layer 1 holds A, B and D, layer 2 holds C. On the 6000 x 4500 canvas the point
// (5900, 4400) is empty.
class NetworkMenu : public PointerTest {
protected:
    NetworkMenu() { useNetworks({build.network}); }

    void select(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            build[name]->setSelected(true);
            control->Selected.Add(build[name]);
        }
    }
    void onCanvas(QAction* item) { choose(kEmpty, control->mnuNetwork(), item); }

    // Which of Cut, Copy, Paste, Delete and Properties the menu offered when it last opened.
    std::vector<bool> offered() const
    {
        std::vector<bool> items;
        for (QAction* item : {control->mnuNetworkCut, control->mnuNetworkCopy, control->mnuNetworkPaste,
                              control->mnunetworkDelete, control->mnuNetworkProperties})
            items.push_back(item->isEnabled());
        return items;
    }

    static constexpr QPointF kEmpty {5900, 4400};
    NetworkBuilder build {{"A B D", "C"}};
};

} // namespace

TEST_F(NetworkMenu, ItemsFollowTheSelectionTheViewAndWhatWasCopied)
{
    onCanvas(control->mnuNetworkProperties);
    EXPECT_EQ(offered(), std::vector<bool>({false, false, false, false, true}));

    select({"A", "B"});
    choose(centreOf(build["A"]), control->mnuNetwork(), control->mnuNetworkCopy);
    EXPECT_EQ(offered(), std::vector<bool>({true, true, false, true, false}));

    // Once copied, Paste is offered for the rest of the run, even when 40 newer entries have
    // pushed the copy out; choosing it then pastes nothing and withdraws it.
    control->Selected.Clear();
    for (int i = 0; i < 40; ++i)
        control->Change();
    onCanvas(control->mnuNetworkPaste);
    EXPECT_FALSE(control->mnuNetworkPaste->isEnabled());
    EXPECT_EQ(layerNames(*build.network), Names({"A B D", "C"}));
    onCanvas(control->mnuNetworkProperties);
    EXPECT_EQ(offered(), std::vector<bool>({false, false, true, false, true}));

    // Nothing of a view has properties.
    NetworkBuilder lower({"L"});
    openLowerLevel(build["C"], build.network, lower.network, lower["L"]);
    useNetworks({build.network, lower.network});
    control->ViewOverview();
    PopupChoice choice(control->mnuNetworkProperties);
    control->mnuNetwork()->exec(QPoint());
    EXPECT_EQ(offered(), std::vector<bool>({false, false, true, false, false}));
    EXPECT_TRUE(reportedErrors().isEmpty());
}

TEST_F(NetworkMenu, DeleteInsertLayerAndRestructureEachTakeOneSnapshot)
{
    select({"A", "B", "C"});
    choose(centreOf(build["A"]), control->mnuNetwork(), control->mnunetworkDelete);
    EXPECT_EQ(layerNames(*build.network), Names({"D", ""}));
    EXPECT_TRUE(control->Selected.isEmpty());
    EXPECT_EQ(control->NodeFound, nullptr);
    EXPECT_EQ(control->mintButtonCount, 1);
    EXPECT_EQ(snapshots(), 1);

    onCanvas(control->mnuNetworkLayerAdd);
    EXPECT_EQ(layerNames(*build.network), Names({"", "D", ""}));
    EXPECT_EQ(layerIndexes(*build.network), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(snapshots(), 2);

    onCanvas(control->mnuNetworkRefresh);
    EXPECT_EQ(snapshots(), 3);
    onCanvas(control->mnuNetworkProperties);
    EXPECT_EQ(snapshots(), 3);
    EXPECT_TRUE(reportedErrors().isEmpty());
}
