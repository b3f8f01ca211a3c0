#include "model/basLibrary.h"
#include "platform/doubles/FixedClock.h"
#include "platform/doubles/SequenceGuidSource.h"
#include "tests/support/ErrorAssertions.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace basLibrary;
using platform::ScopedService;

TEST(GuidText, LaysOutTimeStampAndGuidFields)
{
    ScopedService<platform::Clock, platform::doubles::FixedClock> clock(0x01D9A1B2C3D4E5F6ULL);
    ScopedService<platform::GuidSource, platform::doubles::SequenceGuidSource> guids;
    guids->queue({0xABCD, 0x12, 0xF00D, {0x0A, 0, 0, 0, 0, 0, 0, 0x01}});
    EXPECT_EQ(NewGUIDString(), QStringLiteral("01" "D9A1B2C3D4" "0000ABCD" "0012" "F00D" "00000000A0000001"));
}

TEST(GuidText, IsAlways44UpperCaseHexDigitsAndNewEachTime)
{
    ScopedService<platform::Clock, platform::doubles::FixedClock> clock(0x0123456789ABCDEFULL);
    const QRegularExpression shape(QStringLiteral("^01[0-9A-F]{42}$"));
    const QString first = NewGUIDString();
    const QString second = NewGUIDString();
    EXPECT_TRUE(shape.match(first).hasMatch()) << first.toStdString();
    EXPECT_TRUE(shape.match(second).hasMatch()) << second.toStdString();
    EXPECT_EQ(first.mid(2, 10), second.mid(2, 10));
    EXPECT_NE(first.mid(12), second.mid(12));
}

TEST(HexRoutines, PadAndUseTwosComplement)
{
    EXPECT_EQ(HexLong8(255), QStringLiteral("000000FF"));
    EXPECT_EQ(HexLong8(-1), QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(HexInt4(-2), QStringLiteral("FFFE"));
    EXPECT_EQ(HexBytes8({0xFF, 0x10, 0x01, 0, 0, 0, 0, 0}), QStringLiteral("000000FF10100000"));

    EXPECT_EQ(HexToLong(QStringLiteral("ff")), 255);
    EXPECT_EQ(HexToLong(QStringLiteral("FFFFFFFF")), -1);
    const auto errorOf = [](const QString& text) { return kelvane::test::errorNumberOf([&] { HexToLong(text); }); };
    EXPECT_EQ(errorOf(QStringLiteral("G1")), kelvane::err::TypeMismatch);
    EXPECT_EQ(errorOf(QString()), kelvane::err::TypeMismatch);
    EXPECT_EQ(errorOf(QStringLiteral("100000000")), kelvane::err::Overflow);
}
