#include "model/basLibrary.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

using namespace basLibrary;

TEST(ReplaceAll, ReplacesLeftToRightWithoutSearchingReplacements)
{
    EXPECT_EQ(ReplaceAll(QStringLiteral("a.b.c"), QStringLiteral("."), QStringLiteral("..")), QStringLiteral("a..b..c"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("b")), QStringLiteral("ba"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("aA"), QStringLiteral("a"), QStringLiteral("x")), QStringLiteral("xA"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    EXPECT_EQ(ReplaceAll(QString(), QStringLiteral("a"), QStringLiteral("x")), QString());
}

TEST(TextBetween, KeepsNestedBlocksWholeAndEndsWithoutAMatchingClosing)
{
    EXPECT_EQ(TextBetween(QStringLiteral("a{b{c}d}e"), u'{', u'}'), QStringLiteral("b{c}d"));
    EXPECT_EQ(TextBetween(QStringLiteral("}a{b}"), u'{', u'}'), QStringLiteral("b"));
    EXPECT_EQ(TextBetween(QStringLiteral("no block"), u'{', u'}'), QString());
    EXPECT_EQ(TextBetween(QStringLiteral("a{b"), u'{', u'}'), QString());
    EXPECT_EQ(TextBetween(QStringLiteral("a{b{c}"), u'{', u'}'), QString());
}

TEST(SplitDoubleQuoted, SplitsOutsideQuotesOnly)
{
    const QString text = QStringLiteral("a=1;b=\"x;y\";;");
    EXPECT_EQ(SplitDoubleQuoted(text, u';', true),
              (QStringList {QStringLiteral("a=1"), QStringLiteral("b=\"x;y\""), QString()}));
    EXPECT_EQ(SplitDoubleQuoted(text, u';', false),
              (QStringList {QStringLiteral("a=1"), QStringLiteral("b=\"x;y\""), QString(), QString()}));
    EXPECT_EQ(SplitDoubleQuoted(QStringLiteral("1,2"), u',', false), (QStringList {QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_TRUE(SplitDoubleQuoted(QString(), u',', true).isEmpty());
}

TEST(KeyValuePairs, FindTheSeparatorBeforeAnyQuote)
{
    EXPECT_EQ(KeyOfPair(QStringLiteral("  name = \"value\"\r\n")), QStringLiteral("name"));
    EXPECT_EQ(ValueOfPair(QStringLiteral("  name = \"value\"\r\n")), QStringLiteral("value"));
    EXPECT_EQ(KeyOfPair(QStringLiteral("text \"a=b\"")), QString());
    EXPECT_EQ(KeyOfPair(QStringLiteral("network {")), QStringLiteral("network"));
    EXPECT_EQ(KeyOfPair(QStringLiteral("x is y = z")), QStringLiteral("x is y"));
    EXPECT_EQ(ValueOfPair(QStringLiteral("x is y = z")), QStringLiteral("z"));
    EXPECT_EQ(KeyOfPair(QStringLiteral("weight is 0.7")), QStringLiteral("weight"));
    EXPECT_EQ(ValueOfPair(QStringLiteral("weight is 0.7")), QStringLiteral("0.7"));
    EXPECT_EQ(ValueOfPair(QStringLiteral("a = 'quoted'")), QStringLiteral("quoted"));
    EXPECT_EQ(ValueOfPair(QStringLiteral("a = \"mixed'")), QStringLiteral("mixed"));
    EXPECT_EQ(ValueOfPair(QStringLiteral("}")), QString());
    EXPECT_EQ(ValueOfPair(QStringLiteral("a = \"x=y\"")), QStringLiteral("x=y"));
    EXPECT_EQ(ValueOfPair(QStringLiteral("a =\tb ")), QStringLiteral("\tb")); // blanks trimmed, tabs kept
}

TEST(XorScramble, IsItsOwnInverseAndKeepsLength)
{
    const QString key = QStringLiteral("quabel");
    const QString password = QStringLiteral("s3cret pässwörd €");
    const QString scrambled = XorScramble(password, key);
    EXPECT_EQ(scrambled.size(), password.size());
    EXPECT_NE(scrambled, password);
    EXPECT_EQ(XorScramble(scrambled, key), password);
    EXPECT_EQ(XorScramble(QString(), key), QString());
    // A character equal to its key character gives NUL.
    EXPECT_EQ(XorScramble(QStringLiteral("qx"), key), QString(QChar(u'\0')) + QChar(u'x' ^ u'u'));
    for (int code = 0; code < 256; ++code) {
        const QString one = platform::encoding::fromAnsi(QByteArray(1, char(code)));
        EXPECT_EQ(XorScramble(XorScramble(one, key), key), one) << code;
    }
    EXPECT_THROW(XorScramble(QStringLiteral("x"), QString()), kelvane::RuntimeError);
}


TEST(MinMaxVariant, CompareNumbersNumericallyAndTextsByCode)
{
    using kelvane::Variant;
    EXPECT_EQ(MinVariant(Variant(qint32(10)), Variant(2.5)).toDouble(), 2.5);
    EXPECT_EQ(MaxVariant(Variant(qint16(5)), Variant(qint32(3))).toDouble(), 5);
    EXPECT_EQ(MaxVariant(Variant(qint32(3)), Variant(qint32(5))).toDouble(), 5);
    EXPECT_EQ(MinVariant(Variant(QStringLiteral("b")), Variant(QStringLiteral("B"))).toString(), QStringLiteral("B"));
    EXPECT_EQ(MaxVariant(Variant(QStringLiteral("10")), Variant(QStringLiteral("9"))).toString(), QStringLiteral("9"));
}
