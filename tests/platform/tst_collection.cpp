#include "platform/Collection.h"
#include "tests/support/ErrorAssertions.h"

#include <gtest/gtest.h>

using kelvane::Collection;
using kelvane::RuntimeError;

using kelvane::test::errorNumberOf;

TEST(Collection, KeepsInsertionOrderWithOneBasedPositions)
{
    Collection<QString> c;
    c.Add(QStringLiteral("a"));
    c.Add(QStringLiteral("b"), QStringLiteral("KeyB"));
    c.Add(QStringLiteral("c"));
    ASSERT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(1), QStringLiteral("a"));
    EXPECT_EQ(c.Item(3), QStringLiteral("c"));
    EXPECT_EQ(errorNumberOf([&] { c.Item(0); }), 9);
    EXPECT_EQ(errorNumberOf([&] { c.Item(4); }), 9);
}

TEST(Collection, KeysCompareWithoutRegardToCaseAndRejectDuplicates)
{
    Collection<int> c;
    c.Add(1, QStringLiteral("Irrelevant"));
    EXPECT_EQ(c.Item(QStringLiteral("IRRELEVANT")), 1);
    EXPECT_TRUE(c.Contains(QStringLiteral("irrelevant")));
    EXPECT_EQ(errorNumberOf([&] { c.Add(2, QStringLiteral("IRRELEVANT")); }), 457);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(errorNumberOf([&] { c.Item(QStringLiteral("missing")); }), 5);
    c.Add(3); // items without keys never clash
    c.Add(4);
    EXPECT_EQ(c.Count(), 3);
}

TEST(Collection, RemovingAndInsertingKeepsKeysPointingAtTheirItems)
{
    Collection<int> c;
    c.Add(10, QStringLiteral("x"));
    c.Add(20, QStringLiteral("y"));
    c.Add(30, QStringLiteral("z"));
    c.Remove(1);
    EXPECT_EQ(c.Item(QStringLiteral("y")), 20);
    EXPECT_EQ(c.PositionOf(QStringLiteral("z")), 2);
    c.AddBefore(1, 5, QStringLiteral("w"));
    EXPECT_EQ(c.Item(1), 5);
    EXPECT_EQ(c.Item(QStringLiteral("z")), 30);
    EXPECT_EQ(c.PositionOf(QStringLiteral("z")), 3);
    c.Remove(QStringLiteral("Y"));
    EXPECT_EQ(c.Count(), 2);
    EXPECT_FALSE(c.Contains(QStringLiteral("y")));
}

TEST(Collection, SnapshotIsUnaffectedByLaterChanges)
{
    Collection<int> c;
    for (int i = 1; i <= 3; ++i)
        c.Add(i);
    const auto snapshot = c.Snapshot();
    c.Clear();
    EXPECT_EQ(snapshot.size(), 3u);
    int sum = 0;
    for (int v : snapshot)
        sum += v;
    EXPECT_EQ(sum, 6);
}
