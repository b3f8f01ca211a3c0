#include "model/basLibrary.h"
#include "platform/doubles/FixedClock.h"
#include "platform/doubles/SequenceGuidSource.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace basLibrary;
using platform::Clock;
using platform::GuidSource;
using platform::ScopedService;

TEST(GuidText, LaysOutTimeStampAndGuidFields)
{
    ScopedService<Clock, platform::doubles::FixedClock> clock(0x01D9A1B2C3D4E5F6ULL);
    ScopedService<GuidSource, platform::doubles::SequenceGuidSource> guids;
    platform::Guid guid;
    guid.data1 = 0xABCD;
    guid.data2 = 0x12;
    guid.data3 = 0xF00D;
    guid.data4 = {0x0A, 0, 0, 0, 0, 0, 0, 0x01};
    guids->queue(guid);

    const QString text = NewGUIDString();
    EXPECT_EQ(text, QStringLiteral("01") + QStringLiteral("D9A1B2C3D4") + QStringLiteral("0000ABCD")
                  + QStringLiteral("0012") + QStringLiteral("F00D") + QStringLiteral("00000000A0000001"));
}

TEST(GuidText, IsAlways44UpperCaseHexDigitsAndNewEachTime)
{
    ScopedService<Clock, platform::doubles::FixedClock> clock(0x0123456789ABCDEFULL); // same time stamp twice
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
    EXPECT_EQ(HexLong8(0), QStringLiteral("00000000"));
    EXPECT_EQ(HexLong8(255), QStringLiteral("000000FF"));
    EXPECT_EQ(HexLong8(-1), QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(HexInt4(-2), QStringLiteral("FFFE"));
    EXPECT_EQ(HexInt4(0x1A), QStringLiteral("001A"));
    EXPECT_EQ(HexBytes8({0xFF, 0x10, 0x01, 0, 0, 0, 0, 0}), QStringLiteral("000000FF10100000"));
}

TEST(HexRoutines, HexToLongReadsTwosComplementAndRejectsOtherText)
{
    EXPECT_EQ(HexToLong(QStringLiteral("ff")), 255);
    EXPECT_EQ(HexToLong(QStringLiteral("0A")), 10);
    EXPECT_EQ(HexToLong(QStringLiteral("FFFFFFFF")), -1);
    EXPECT_EQ(HexToLong(QStringLiteral("80000000")), qint32(0x80000000));
    const auto errorOf = [](const QString& text) {
        try {
            HexToLong(text);
        } catch (const kelvane::RuntimeError& e) {
            return e.Number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf(QStringLiteral("G1")), kelvane::err::TypeMismatch);
    EXPECT_EQ(errorOf(QString()), kelvane::err::TypeMismatch);
    EXPECT_EQ(errorOf(QStringLiteral(" 1")), kelvane::err::TypeMismatch);
    EXPECT_EQ(errorOf(QStringLiteral("100000000")), kelvane::err::Overflow);
}
