#include "platform/Conversions.h"
#include "platform/RuntimeError.h"
#include "tests/support/ErrorAssertions.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace kelvane;

TEST(Conversions, WholeNumbersRoundHalfToEven)
{
    EXPECT_EQ(conv::toInt16(0.5), 0);
    EXPECT_EQ(conv::toInt16(1.5), 2);
    EXPECT_EQ(conv::toInt16(2.5), 2);
    EXPECT_EQ(conv::toInt16(-2.5), -2);
    EXPECT_EQ(conv::toInt32(2147483647.4), 2147483647);
    EXPECT_EQ(conv::floorWhole(-0.5), -1.0);
}

TEST(Conversions, OutOfRangeAndNonFiniteValuesOverflow)
{
    const auto overflows = [](const std::function<void()>& f) { return test::errorNumberOf(f) == err::Overflow; };
    EXPECT_TRUE(overflows([] { conv::toInt16(32767.5); }));
    EXPECT_TRUE(overflows([] { conv::toInt16(-32769); }));
    EXPECT_TRUE(overflows([] { conv::toInt32(std::nan("")); }));
    EXPECT_TRUE(overflows([] { conv::add16(32767, 1); }));
    EXPECT_TRUE(overflows([] { conv::checkFinite(std::numeric_limits<double>::infinity()); }));
    EXPECT_EQ(conv::toInt16(-32768.4), -32768);
}

TEST(Conversions, LeadingNumberScanStopsAtTheFirstForeignCharacter)
{
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("  0.7 is true")), 0.7);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("-12abc")), -12);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("1,5")), 1);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("2.5E2x")), 250);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("&HFF")), 255);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("&HFFFF")), -1);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("&h10000")), 65536);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("&H8000000F")), -2147483633);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("&O177777")), -1);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QStringLiteral("abc")), 0);
    EXPECT_DOUBLE_EQ(conv::leadingNumber(QString()), 0);
}

TEST(Conversions, NumberTextUsesAPointWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(conv::numberText(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(conv::numberText(1.0), QStringLiteral("1"));
    EXPECT_EQ(conv::numberText(-0.25), QStringLiteral("-0.25"));
    EXPECT_EQ(conv::numberText(0.0), QStringLiteral("0"));
    EXPECT_EQ(conv::numberText(1e-20), QStringLiteral("1E-20"));
    const double third = 1.0 / 3.0;
    EXPECT_EQ(conv::toDouble(conv::numberText(third)), third);
    EXPECT_DOUBLE_EQ(conv::toDouble(QStringLiteral(" 0.75 ")), 0.75);
    QLocale::setDefault(QLocale::c());
}

TEST(Conversions, StrictConversionRejectsCommaAndText)
{
    for (const char* text : {"1,5", "0,500", "1,000", "abc", "", "0.5x"})
        EXPECT_EQ(test::errorNumberOf([&] { conv::toDouble(QString::fromLatin1(text)); }), err::TypeMismatch) << text;
}
