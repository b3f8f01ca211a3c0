#include "platform/Conversions.h"
#include "platform/RuntimeError.h"
#include "tests/support/ErrorAssertions.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
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

TEST(Conversions, LeadingNumberReadsEveryDecimalAsQStringDoes)
{
    // Random decimals of many digits, with exponents near the ends of the range (overflow,
    // underflow, subnormal values), against QString's reading of the same characters.
    std::uint64_t state = 11;
    const auto next = [&](int below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return int((state >> 33) % std::uint64_t(below));
    };
    for (int round = 0; round < 20000; ++round) {
        QString text = next(3) == 0 ? QStringLiteral("-") : next(2) ? QString() : QStringLiteral("+");
        for (int i = next(25); i >= 0; --i)
            text += QChar(u'0' + next(10));
        if (next(2))
            text += u'.';
        for (int i = next(25); i > 0; --i)
            text += QChar(u'0' + next(10));
        if (next(2))
            text += QStringLiteral("e") + (next(2) ? QStringLiteral("-") : QString()) + QString::number(next(340));
        bool ok = false;
        const double expected = text.toDouble(&ok);
        double actual = 0;
        try {
            actual = conv::leadingNumber(text);
        } catch (const RuntimeError&) {
            actual = std::numeric_limits<double>::infinity();
        }
        if (!ok || !std::isfinite(expected))
            ASSERT_TRUE(actual == 0.0 || std::isinf(actual)) << qPrintable(text);
        else
            ASSERT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected)) << qPrintable(text);
    }
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
    for (const char* text : {"1,5", "0,500", "1,000", "abc", "", "0.5x", "\u0664\u0662"})
        EXPECT_EQ(test::errorNumberOf([&] { conv::toDouble(QString::fromUtf8(text)); }), err::TypeMismatch) << text;
    // Plain digits are read on a short way; longer runs and signs as the locale reads them.
    EXPECT_EQ(conv::toDouble(QStringLiteral(" 0042\t")), 42.0);
    EXPECT_EQ(conv::toDouble(QStringLiteral("99999999999999999999")), 1e20);
    EXPECT_TRUE(std::signbit(conv::toDouble(QStringLiteral("-0"))));
}
