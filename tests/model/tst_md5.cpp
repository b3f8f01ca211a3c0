#include "model/MD5.h"
#include "platform/RuntimeError.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using kelvane::MD5;

namespace {

QString digestOf(const QString& text) { return MD5().DigestStrToHexStr(text); }

QString writeScratchFile(const QString& name, const QByteArray& bytes)
{
    const QString path = kelvane::test::scratchFolder() + u'/' + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

} // namespace

TEST(MD5, DigestsTheReferenceStrings)
{
    EXPECT_EQ(digestOf(QString()), QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
    EXPECT_EQ(digestOf(QStringLiteral("a")), QStringLiteral("0CC175B9C0F1B6A831C399E269772661"));
    EXPECT_EQ(digestOf(QStringLiteral("abc")), QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
    EXPECT_EQ(digestOf(QStringLiteral("message digest")), QStringLiteral("F96B697D7CB7938D525A2F31AAF161D0"));
    EXPECT_EQ(digestOf(QStringLiteral("abcdefghijklmnopqrstuvwxyz")), QStringLiteral("C3FCD3D76192E4007DFB496CCA67E13B"));
    EXPECT_EQ(digestOf(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")),
              QStringLiteral("D174AB98D277D9F5A5611C2C9F419D9F"));
    EXPECT_EQ(digestOf(QStringLiteral("1234567890").repeated(8)), QStringLiteral("57EDF4A22BE3C955AC49DA2E2107B67A"));
}

TEST(MD5, PaddingCrossesIntoASecondBlockFrom56Bytes)
{
    const std::pair<int, const char*> cases[] = {
        {55, "EF1772B6DFF9A122358552954AD0DF65"}, {56, "3B0C8AC703F828B04C6C197006D17218"},
        {63, "B06521F39153D618550606BE297466D5"}, {64, "014842D480B571495A4A0363793F7367"},
        {65, "C743A45E0D2E6A95CB859ADAE0248435"},
    };
    for (const auto& [length, expected] : cases)
        EXPECT_EQ(digestOf(QString(length, u'a')), QString::fromLatin1(expected)) << length;
}

TEST(MD5, TextBecomesOneAnsiBytePerCharacter)
{
    EXPECT_EQ(digestOf(QString::fromUtf8("Straße €")), QStringLiteral("0C9E6DE67D25D30AE3703E1515FD47A2"));
}

TEST(MD5, RegistersGiveTheFinalStateAsSignedDecimalText)
{
    MD5 md5;
    md5.DigestStrToHexStr(QStringLiteral("abc"));
    EXPECT_EQ(md5.RegisterA(), QStringLiteral("-1739587184"));
    EXPECT_EQ(md5.RegisterB(), QStringLiteral("-1336946116"));
    EXPECT_EQ(md5.RegisterC(), QStringLiteral("2101319382"));
    EXPECT_EQ(md5.RegisterD(), QStringLiteral("1920983336"));
    md5.MD5Init();
    EXPECT_EQ(md5.GetValues(), QStringLiteral("0123456789ABCDEFFEDCBA9876543210"));
}

TEST(MD5, UpdatesInPiecesGiveTheSameDigestAsOneUpdate)
{
    QByteArray bytes;
    for (int i = 0; i < 300; ++i)
        bytes.append(static_cast<char>(i * 31));
    MD5 whole;
    whole.MD5Init();
    whole.MD5Update(bytes.size(), bytes);
    whole.MD5Final();

    MD5 pieces;
    pieces.MD5Init();
    for (qsizetype at = 0, size = 1; at < bytes.size(); at += size, size = size * 2 + 1) {
        const QByteArray piece = bytes.mid(at, size);
        pieces.MD5Update(piece.size(), piece);
    }
    pieces.MD5Final();
    EXPECT_EQ(pieces.GetValues(), whole.GetValues());

    MD5 partial; // only the first byteCount bytes count
    partial.MD5Init();
    partial.MD5Update(3, QByteArrayLiteral("abcdef"));
    partial.MD5Final();
    EXPECT_EQ(partial.GetValues(), QStringLiteral("900150983CD24FB0D6963F7D28E17F72"));
}

TEST(MD5, ByteCountBeyondTheArrayIsAnError)
{
    MD5 md5;
    try {
        md5.MD5Update(10, QByteArrayLiteral("abc"));
        ADD_FAILURE();
    } catch (const kelvane::RuntimeError& e) {
        EXPECT_EQ(e.Number(), kelvane::err::SubscriptOutOfRange);
    }
}

TEST(MD5, InputsBeyond256MiBCountTheirBitsIn64Bits)
{
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>((i * 7) & 0xFF);
    MD5 md5;
    md5.MD5Init();
    for (int i = 0; i < 257; ++i)
        md5.MD5Update(chunk.size(), chunk);
    md5.MD5Final();
    EXPECT_EQ(md5.GetValues(), QStringLiteral("BE3498C104FEB58871FAE7E0C92A8237"));
}

TEST(MD5, DigestsFilesOfAnyLength)
{
    QByteArray sixtyFour;
    for (int i = 0; i < 64; ++i)
        sixtyFour.append(static_cast<char>(i));
    MD5 md5;
    EXPECT_EQ(md5.DigestFileToHexStr(writeScratchFile(QStringLiteral("64.bin"), sixtyFour)),
              QStringLiteral("B2D3F56BC197FD985D5965079B5E7148"));
    EXPECT_EQ(md5.DigestFileToHexStr(writeScratchFile(QStringLiteral("empty.bin"), {})),
              QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
    EXPECT_EQ(md5.DigestFileToHexStr(writeScratchFile(QStringLiteral("high.bin"), QByteArray("\x80\x81\xff\x00", 4))),
              QStringLiteral("D5C6B5EC1C923C86DBBBEAA7EDE737B0"));
}

TEST(MD5, AFileThatCannotBeOpenedIsAnError)
{
    MD5 md5;
    try {
        md5.DigestFileToHexStr(kelvane::test::scratchFolder() + QStringLiteral("/missing.bin"));
        ADD_FAILURE();
    } catch (const kelvane::RuntimeError& e) {
        EXPECT_EQ(e.Number(), kelvane::err::FileNotFound);
    }
}

TEST(MD5, LongLeftRotateTakesTheCountModulo32)
{
    MD5 md5;
    EXPECT_EQ(md5.LongLeftRotate(1, 1), 2);
    EXPECT_EQ(md5.LongLeftRotate(qint32(0x80000001), 1), 3);
    EXPECT_EQ(md5.LongLeftRotate(0x12345678, 32), 0x12345678);
    EXPECT_EQ(md5.LongLeftRotate(0x12345678, 36), 0x23456781);
    EXPECT_EQ(md5.LongLeftRotate(0x12345678, 0), 0x12345678);
}
