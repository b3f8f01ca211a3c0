// The FTP control's readers and counters without sockets: how received bytes become reply
// lines and listing lines, which command each reply answers, what a reply says, the upload's
// position past 4 GiB, and the names' encoding.
#include "ftp/FtpReplies.h"
#include "ftp/LineAssembler.h"
#include "ftp/NameEncoding.h"
#include "ftp/PendingReplies.h"
#include "ftp/ReceiveBuffer.h"
#include "ftp/UploadSource.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kelvane::ftp;

namespace {

QList<QByteArray> piecesOf(ReceiveBuffer& buffer, const QList<QByteArray>& reads)
{
    QList<QByteArray> pieces;
    for (const QByteArray& bytes : reads) {
        int space = 0;
        char* into = buffer.freeSpace(space);
        memcpy(into, bytes.constData(), static_cast<size_t>(bytes.size()));
        buffer.commit(static_cast<int>(bytes.size()));
        QByteArrayView piece;
        while (buffer.takePiece(piece))
            pieces << piece.toByteArray();
    }
    return pieces;
}

} // namespace

TEST(FtpReceiveBuffer, LineEndsPairInDelimiterOrderAlsoAcrossReads)
{
    ReceiveBuffer buffer;
    buffer.setDelimiter("\r\n", true);
    EXPECT_EQ(piecesOf(buffer, {"220 ready\r", "\n331 next\n\rc", "d\r\n"}),
              (QList<QByteArray> {"220 ready", "331 next", "", "cd"}));

    ReceiveBuffer exact;
    exact.setDelimiter("\r\n", false);
    EXPECT_EQ(piecesOf(exact, {"a\r\nb\nc\r", "\nrest"}), (QList<QByteArray> {"a", "b\nc"}));
    QByteArrayView rest;
    ASSERT_TRUE(exact.takeRest(rest));
    EXPECT_EQ(rest, QByteArrayView("rest"));
}

TEST(FtpReceiveBuffer, AFullBufferWithoutALineEndIsHandedOverUnfinished)
{
    ReceiveBuffer buffer(8);
    buffer.setDelimiter("\r\n", false);
    int space = 0;
    memcpy(buffer.freeSpace(space), "12345678", 8);
    buffer.commit(8);
    QByteArrayView piece;
    bool complete = true;
    ASSERT_TRUE(buffer.takeNext(piece, complete));
    EXPECT_FALSE(complete);
    EXPECT_EQ(piece, QByteArrayView("12345678"));
    EXPECT_FALSE(buffer.takeNext(piece, complete));
}

TEST(FtpLineAssembler, KeepsTheStartOfLongLinesAndRefusesLinesPastTheLimit)
{
    LineAssembler lines(4, 10);
    EXPECT_EQ(lines.add("220 ", false), LineAssembler::Result::Partial);
    EXPECT_EQ(lines.add("ready", true), LineAssembler::Result::Line);
    EXPECT_EQ(lines.line(), QByteArray("220 "));
    EXPECT_EQ(lines.add("ok", true), LineAssembler::Result::Line);
    EXPECT_EQ(lines.line(), QByteArray("ok"));
    EXPECT_EQ(lines.add("0123456", false), LineAssembler::Result::Partial);
    EXPECT_EQ(lines.add("7890", false), LineAssembler::Result::TooLong);
    // Refused until cleared: the rest of that line is no line.
    EXPECT_EQ(lines.add("x", true), LineAssembler::Result::TooLong);
    lines.clear();
    EXPECT_EQ(lines.add("0123456789", true), LineAssembler::Result::Line);

    LineAssembler listing = LineAssembler::forListings();
    EXPECT_EQ(listing.add(QByteArray(LineAssembler::MaxListingLine, 'x'), true), LineAssembler::Result::Line);
    EXPECT_EQ(listing.line().size(), LineAssembler::MaxListingLine);
    EXPECT_EQ(listing.add("last line", false), LineAssembler::Result::Partial);
    QByteArray unfinished;
    ASSERT_TRUE(listing.takeUnfinished(unfinished));
    EXPECT_EQ(unfinished, QByteArray("last line"));
    EXPECT_FALSE(listing.takeUnfinished(unfinished));
}

TEST(FtpReplies, ReplyLinesAreReadAsRfc959Says)
{
    using Line = ReplyReader::Line;
    ReplyReader reader;
    EXPECT_EQ(reader.add("220-Welcome"), Line::Continues);
    EXPECT_EQ(reader.add("Anything at all"), Line::Continues);
    EXPECT_EQ(reader.add("220-still the same reply"), Line::Continues);
    EXPECT_EQ(reader.add("220 Ready"), Line::Positive);
    EXPECT_EQ(reader.add("150 Opening"), Line::Preliminary);
    EXPECT_EQ(reader.add("350 Restarting"), Line::Positive);
    EXPECT_EQ(reader.add("550 No such file"), Line::Negative);
    EXPECT_EQ(reader.add(" continued"), Line::Continues);
    // A reply of several lines closed by another code ends there, as one not to be trusted.
    EXPECT_EQ(reader.add("211-Features:"), Line::Continues);
    EXPECT_EQ(reader.add("212 End"), Line::Negative);
    EXPECT_EQ(reader.add("200 NOOP ok"), Line::Positive);
}

TEST(FtpReplies, PassiveAddressesPortArgumentsPathsAndFeatures)
{
    using platform::sockets::SocketAddress;
    EXPECT_EQ(passiveAddress("227 Entering Passive Mode (192,168,1,2,19,137)"), (SocketAddress {0xC0A80102, 5001}));
    EXPECT_EQ(passiveAddress("227 Entering Passive Mode (192, 168, 1, 2, 19, 137)."), (SocketAddress {0xC0A80102, 5001}));
    for (const char* refused : {"227 (192,168,1,2,19)", "227 (256,1,1,1,1,1)", "227 (1,,1,1,1,1)", "227 no numbers",
                                "200 (1,2,3,4,5,6)", "227 (1,2,3,4,5,1000)"})
        EXPECT_FALSE(passiveAddress(refused)) << refused;
    EXPECT_EQ(portArgument({0x7F000001, 5001}), QByteArray("127,0,0,1,19,137"));
    EXPECT_EQ(pathOfPwdReply("257 \"/pub/x\" is current"), QByteArray("/pub/x"));

    EXPECT_TRUE(namesUtf8Feature(" UTF8"));
    EXPECT_TRUE(namesUtf8Feature(" utf8 "));
    for (const char* other : {"211-Features:", " UTF8X", " MLST type*;UTF8", "UTF8 is not a feature line", "211 End"})
        EXPECT_FALSE(namesUtf8Feature(other)) << other;
}

TEST(FtpPendingReplies, EachFinalReplyAnswersTheOldestCommandStillWaiting)
{
    PendingReplies pending;
    const auto retr = pending.sent("RETR");
    EXPECT_FALSE(pending.read("150 Opening"));
    const auto abor = pending.sent("ABOR");
    // The transfer's end, then the abort's own reply.
    const auto first = pending.read("226 Transfer complete");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->serial, retr);
    EXPECT_TRUE(first->positive);
    EXPECT_TRUE(pending.owed());
    const auto second = pending.read("225 No transfer to abort");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->serial, abor);
    EXPECT_FALSE(pending.owed());
    // Each answer goes to whoever asks for it, once; a nested reader may have read it.
    EXPECT_EQ(pending.takeAnswer(abor)->line, QByteArray("225 No transfer to abort"));
    EXPECT_FALSE(pending.takeAnswer(abor));
    EXPECT_EQ(pending.takeAnswer(retr)->line, QByteArray("226 Transfer complete"));

    // 426 then 226: the abort of a command answered long ago.
    const auto lone = pending.sent("ABOR");
    EXPECT_FALSE(pending.read("426 Transfer aborted"));
    EXPECT_EQ(pending.read("226 Abort done")->serial, lone);

    // A reply of several lines answers once, at its last line; a line nobody waits for
    // answers nothing.
    EXPECT_FALSE(pending.read("421 Closing"));
    const auto feat = pending.sent("FEAT");
    EXPECT_FALSE(pending.read("211-Features:"));
    EXPECT_FALSE(pending.read(" 226 padded, as text that begins with a code is"));
    const auto end = pending.read("211 End");
    ASSERT_TRUE(end);
    EXPECT_EQ(end->serial, feat);

    const auto dele = pending.sent("DELE");
    EXPECT_FALSE(pending.read("550-No"));
    pending.clear();
    EXPECT_FALSE(pending.owed());
    EXPECT_FALSE(pending.read("550 such file"));
    EXPECT_FALSE(pending.takeAnswer(dele));
}

TEST(FtpUploadSource, CountsPastFourGibibytesAndResendsWhatTheSocketDidNotTake)
{
    // A sparse file a little over 4 GiB with a marked tail; the upload starts just below
    // 4 GiB, where a 32-bit count would wrap.
    constexpr qint64 kFourGiB = qint64(1) << 32;
    const QString path = kelvane::test::scratchFolder() + QStringLiteral("/huge.bin");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(kFourGiB + 5000));
        ASSERT_TRUE(file.seek(kFourGiB + 4990));
        file.write("0123456789");
    }
    UploadSource source;
    ASSERT_EQ(source.open(path, kFourGiB - 3000), 0);
    QByteArray sent;
    QByteArrayView bytes;
    while (source.pending(bytes) && !bytes.isEmpty()) {
        // The socket takes at most 1000 bytes at a time.
        const qint64 taken = std::min<qint64>(bytes.size(), 1000);
        sent += bytes.first(taken);
        source.advance(taken);
    }
    EXPECT_EQ(source.position(), kFourGiB + 5000);
    EXPECT_EQ(sent.size(), 8000);
    EXPECT_EQ(sent.right(10), QByteArray("0123456789"));
    EXPECT_EQ(sent.left(7990), QByteArray(7990, '\0'));
    source.close();
    QFile::remove(path);

    UploadSource missing;
    EXPECT_EQ(missing.open(path, 0), 3);
}

TEST(FtpNameEncoding, UsesUtf8WhenAnnouncedAndTheAnsiCodePageOtherwise)
{
    NameEncoding ansi;
    EXPECT_EQ(ansi.encode(QStringLiteral("caf\u00e9 \u20ac.txt")), QByteArray("caf\xe9 \x80.txt"));
    EXPECT_FALSE(ansi.encode(QStringLiteral("\u65e5\u672c.txt")));
    EXPECT_EQ(ansi.decode("caf\xe9"), QStringLiteral("caf\u00e9"));

    NameEncoding utf8 {true};
    EXPECT_EQ(utf8.encode(QStringLiteral("\u65e5\u672c.txt")), QByteArray("\xe6\x97\xa5\xe6\x9c\xac.txt"));
    EXPECT_EQ(utf8.decode("caf\xc3\xa9"), QStringLiteral("caf\u00e9"));
    // Bytes that are no UTF-8 are read as the old code page.
    EXPECT_EQ(utf8.decode("caf\xe9"), QStringLiteral("caf\u00e9"));
}
