#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

using namespace platform::encoding;

TEST(TextEncoding, AnsiIsOneBytePerCharacterAndUnmappableBecomesQuestionMark)
{
    const QString text = QStringLiteral("caf\u00e9 \u20ac \u4e2d");
    const QByteArray bytes = toAnsi(text);
    ASSERT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[3]), 0xE9);
    EXPECT_EQ(static_cast<unsigned char>(bytes[5]), 0x80);
    EXPECT_EQ(bytes[7], '?');
    EXPECT_EQ(fromAnsi(bytes), QStringLiteral("caf\u00e9 \u20ac ?"));
}

TEST(TextEncoding, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(toAnsi(fromAnsi(all)), all);

    // Into a string used again, out of step with sixteen-byte blocks, leaving a copy alone.
    QString reused = fromAnsi(QByteArray(300, 'x'));
    const QString kept = reused;
    fromAnsi("abc" + all, reused);
    EXPECT_EQ(toAnsi(reused), "abc" + all);
    EXPECT_EQ(kept, QString(300, QLatin1Char('x')));
}

TEST(TextEncoding, StoredTextIsUtf8WhenValidElseWindows1252)
{
    EXPECT_EQ(decodeStored(QByteArray("caf\xc3\xa9")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(decodeStored(QByteArray("caf\xe9")), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(decodeStored(QByteArray("\xef\xbb\xbf<a/>")), QStringLiteral("<a/>"));
    EXPECT_FALSE(isValidUtf8(QByteArray("\xc3")));          // truncated sequence
    EXPECT_FALSE(isValidUtf8(QByteArray("\xc0\xaf")));      // overlong
    EXPECT_FALSE(isValidUtf8(QByteArray("\xed\xa0\x80")));  // surrogate
    EXPECT_TRUE(isValidUtf8(QByteArray("\xf0\x9f\x98\x80")));

    // A foreign byte or a sequence anywhere among long runs of ASCII, at every place in a word.
    for (int at = 0; at < 24; ++at) {
        QByteArray text(40, 'a');
        text[at] = '\xe9';
        EXPECT_FALSE(isValidUtf8(text)) << at;
        text.replace(at, 1, "\xc3\xa9");
        EXPECT_TRUE(isValidUtf8(text)) << at;
        text.chop(40 - at); // the sequence cut at the end
        EXPECT_FALSE(isValidUtf8(text)) << at;
    }
}
