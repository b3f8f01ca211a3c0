#include "model/MD5.h"
#include "platform/RegularFileReader.h"
#include "platform/RuntimeError.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using kelvane::MD5;

namespace {
QString digestOf(const QString& text) { return MD5().DigestStrToHexStr(text); }
} // namespace

TEST(MD5, DigestsTheReferenceTextsAcrossTheBlockBoundaries)
{
    const std::pair<QString, const char*> cases[] = {
        {QString(), "D41D8CD98F00B204E9800998ECF8427E"},
        {QStringLiteral("a"), "0CC175B9C0F1B6A831C399E269772661"},
        {QStringLiteral("abc"), "900150983CD24FB0D6963F7D28E17F72"},
        {QStringLiteral("message digest"), "F96B697D7CB7938D525A2F31AAF161D0"},
        {QStringLiteral("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B"},
        {QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {QStringLiteral("1234567890").repeated(8), "57EDF4A22BE3C955AC49DA2E2107B67A"},
        {QString(55, u'a'), "EF1772B6DFF9A122358552954AD0DF65"},
        {QString(56, u'a'), "3B0C8AC703F828B04C6C197006D17218"},
        {QString(63, u'a'), "B06521F39153D618550606BE297466D5"},
        {QString(64, u'a'), "014842D480B571495A4A0363793F7367"},
        {QString(65, u'a'), "C743A45E0D2E6A95CB859ADAE0248435"},
        {QString::fromUtf8("Straße €"), "0C9E6DE67D25D30AE3703E1515FD47A2"}, // one ANSI byte a character
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(digestOf(text), QString::fromLatin1(expected)) << text.size();
}

TEST(MD5, RegistersGiveTheStateAsSignedDecimalText)
{
    MD5 md5;
    md5.DigestStrToHexStr(QStringLiteral("abc"));
    EXPECT_EQ(QStringList({md5.RegisterA(), md5.RegisterB(), md5.RegisterC(), md5.RegisterD()}),
              QStringList({"-1739587184", "-1336946116", "2101319382", "1920983336"}));
    md5.MD5Init();
    EXPECT_EQ(md5.GetValues(), QStringLiteral("0123456789ABCDEFFEDCBA9876543210"));
}

TEST(MD5, UpdatesInPiecesGiveTheDigestOfTheWhole)
{
    QByteArray bytes;
    for (int i = 0; i < 300; ++i)
        bytes.append(static_cast<char>(i * 31));
    MD5 whole;
    whole.MD5Update(bytes.size(), bytes);
    whole.MD5Final();
    MD5 inParts;
    for (qsizetype at = 0, size = 1; at < bytes.size(); at += size, size = size * 2 + 1) {
        const QByteArray chunk = bytes.mid(at, size);
        inParts.MD5Update(chunk.size(), chunk);
    }
    inParts.MD5Final();
    EXPECT_EQ(inParts.GetValues(), whole.GetValues());

    MD5 partial; // only the first byteCount bytes count
    partial.MD5Update(3, QByteArrayLiteral("abcdef"));
    partial.MD5Final();
    EXPECT_EQ(partial.GetValues(), QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { partial.MD5Update(10, QByteArrayLiteral("abc")); }),
              kelvane::err::SubscriptOutOfRange);
}

TEST(MD5, InputsBeyond256MiBCountTheirBitsIn64Bits)
{
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>((i * 7) & 0xFF);
    MD5 md5;
    for (int i = 0; i < 257; ++i)
        md5.MD5Update(chunk.size(), chunk);
    md5.MD5Final();
    EXPECT_EQ(md5.GetValues(), QStringLiteral("BE3498C104FEB58871FAE7E0C92A8237"));
}

TEST(MD5, DigestsFilesAndFailsForMissingOnes)
{
    const QString path = kelvane::test::scratchFolder() + QStringLiteral("/64.bin");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < 64; ++i)
        file.putChar(static_cast<char>(i));
    file.close();
    MD5 md5;
    EXPECT_EQ(md5.DigestFileToHexStr(path), QStringLiteral("B2D3F56BC197FD985D5965079B5E7148"));
    const QString empty = kelvane::test::scratchFolder() + QStringLiteral("/0.bin");
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    EXPECT_EQ(md5.DigestFileToHexStr(empty), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { md5.DigestFileToHexStr(path + QStringLiteral(".missing")); }),
              kelvane::err::FileNotFound);
}

TEST(MD5, OnlyRegularFilesUpToTheCapAreDigestedAndNothingIsWaitedOn)
{
    // A pipe nobody writes to would hold the program for ever, /dev/zero would never end.
    const kelvane::test::PipeWithoutWriter pipe(kelvane::test::scratchFolder() + QStringLiteral("/digest.pipe"));
    ASSERT_TRUE(pipe.made());
    // A sparse file past the cap: refused by its size, unread.
    const QString huge = kelvane::test::scratchFolder() + QStringLiteral("/huge.bin");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(platform::kMaxFileBytes + 1));
    }
    MD5 md5;
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : {pipe.path(), huge})
        EXPECT_EQ(kelvane::test::errorNumberOf([&] { md5.DigestFileToHexStr(name); }), kelvane::err::PathFileAccess) << name.toStdString();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(pipe.readerWasStuck());
    QFile::remove(huge);
}

TEST(MD5, LongLeftRotateTakesTheCountModulo32)
{
    MD5 md5;
    EXPECT_EQ(md5.LongLeftRotate(qint32(0x80000001), 1), 3);
    EXPECT_EQ(md5.LongLeftRotate(0x12345678, 36), 0x23456781);
    EXPECT_EQ(md5.LongLeftRotate(0x12345678, 0), 0x12345678);
}

TEST(MD5, ATextTheAnsiCodePageCannotHoldOverflowsInsteadOfDigestingAnother)
{
    for (const char* name : {"ИВАН", "ПЁТР"})
        EXPECT_EQ(kelvane::test::errorNumberOf([&] { digestOf(QString::fromUtf8(name)); }), kelvane::err::Overflow) << name;
}
