#include "platform/RuntimeError.h"
#include "platform/Variant.h"

#include <gtest/gtest.h>

using kelvane::Variant;

TEST(Variant, ComparesNumbersNumericallyAndTextsByCharacterCode)
{
    EXPECT_LT(Variant::compare(Variant(2), Variant(10.0)), 0);
    EXPECT_GT(Variant::compare(Variant(QStringLiteral("2")), Variant(QStringLiteral("10"))), 0);
    EXPECT_EQ(Variant::compare(Variant(QStringLiteral("10")), Variant(10)), 0);
    EXPECT_LT(Variant::compare(Variant(QStringLiteral("B")), Variant(QStringLiteral("a"))), 0);
}

TEST(Variant, HoldsSharedObjectReferences)
{
    auto text = std::make_shared<QString>(QStringLiteral("shared"));
    const Variant v = Variant::fromObject(text);
    ASSERT_TRUE(v.isObject());
    EXPECT_EQ(v.object<QString>(), text);
    EXPECT_EQ(v.object<int>(), nullptr);
    const Variant copy = v;
    *copy.object<QString>() = QStringLiteral("changed");
    EXPECT_EQ(*text, QStringLiteral("changed"));
    EXPECT_THROW(v.toString(), kelvane::RuntimeError);
}

TEST(Variant, ConvertsLikeTheOldRuntime)
{
    EXPECT_EQ(Variant(true).toString(), QStringLiteral("True"));
    EXPECT_EQ(Variant(0.5).toString(), QStringLiteral("0.5"));
    EXPECT_TRUE(Variant(QStringLiteral("true")).toBool());
    EXPECT_FALSE(Variant(QStringLiteral("0")).toBool());
    EXPECT_FALSE(Variant(QString::fromUtf8(" FAL\u017FE\r\n")).toBool()); // the long s folds to "s"
    EXPECT_TRUE(Variant().isEmpty());
    EXPECT_EQ(Variant().toString(), QString());
}
