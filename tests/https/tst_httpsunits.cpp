// Pieces of the engine that need no server: cutting received bytes, the length a reply
// announces and its chunks, protocol choices, the second transport's security flags and
// retries, and the reading of certificate stores.
#include "https/BodyLength.h"
#include "https/CertificateStore.h"
#include "https/ChunkedBody.h"
#include "https/CurlTransfer.h"
#include "https/ReceiveBuffer.h"
#include "https/TlsLayer.h"
#include "https/WinInetTransport.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <openssl/ssl.h>

using namespace kelvane::plexant;

namespace {

QList<QByteArray> pieces(ReceiveBuffer& buffer, const QByteArray& bytes)
{
    buffer.append(bytes.constData(), int(bytes.size()));
    QList<QByteArray> found;
    while (const auto piece = buffer.nextPiece())
        found.append(*piece);
    return found;
}

// The user's and the machine's certificate stores in the scratch folder.
class ScratchStoreFolders : public CertificateStoreFolders {
public:
    QString userFolder() const override { return kelvane::test::scratchFolder() + QStringLiteral("/stores/user"); }
    QString machineFolder() const override { return kelvane::test::scratchFolder() + QStringLiteral("/stores/machine"); }
};

} // namespace

TEST(ReceiveBuffer, CutsLinesAtEitherLineEndAlsoWhenSplitOverReads)
{
    ReceiveBuffer lines;
    lines.setDelimiter("\r\n");
    EXPECT_EQ(pieces(lines, "a\r\nb\n\rc\rd"), (QList<QByteArray> {"a", "b", "c"}));
    EXPECT_EQ(lines.size(), 1); // "d" waits
    EXPECT_EQ(pieces(lines, "\r"), QList<QByteArray> {"d"});
    EXPECT_EQ(pieces(lines, "\ne\n"), QList<QByteArray> {"e"}); // the LF completes the CR before it

    ReceiveBuffer anyByte;
    anyByte.setDelimiter(",;", true);
    EXPECT_EQ(pieces(anyByte, "x,;;y;z"), (QList<QByteArray> {"x", "y"}));
    EXPECT_EQ(anyByte.takeRest(), QByteArray("z"));

    ReceiveBuffer exact;
    exact.setDelimiter("--");
    EXPECT_EQ(pieces(exact, "p-q--r"), QList<QByteArray> {"p-q"});
    exact.setDelimiter({}); // raw: everything at once
    EXPECT_EQ(pieces(exact, "s"), QList<QByteArray> {"rs"});
}

TEST(ReceiveBuffer, GrowsForALongPieceUpToItsCap)
{
    ReceiveBuffer buffer;
    buffer.setDelimiter("\n");
    const QByteArray line(ReceiveBuffer::kMaxPiece - 1, 'x');
    EXPECT_TRUE(pieces(buffer, line).isEmpty());
    EXPECT_EQ(buffer.freeSpace(), 1);
    EXPECT_EQ(pieces(buffer, "y"), QList<QByteArray> {});
    EXPECT_EQ(buffer.freeSpace(), 0);
}

TEST(TlsSettings, OnlyNewerProtocolBitsNarrowTheModernDefault)
{
    const std::pair<int, int> modern {TLS1_2_VERSION, 0};
    EXPECT_EQ(TlsLayer::protocolRange(255), modern);
    EXPECT_EQ(TlsLayer::protocolRange(0), modern);
    EXPECT_EQ(TlsLayer::protocolRange(0x80), modern); // TLS 1.0 alone is never offered
    EXPECT_EQ(TlsLayer::protocolRange(0x800), std::make_pair(TLS1_2_VERSION, TLS1_2_VERSION));
    EXPECT_EQ(TlsLayer::protocolRange(0x2000), std::make_pair(TLS1_3_VERSION, 0));
    EXPECT_EQ(TlsLayer::protocolRange(0x2800), modern);
}

TEST(WinInetSettings, SecurityFlagsAndErrorTexts)
{
    EXPECT_EQ(WinInetTransport::securityFlags(0x1), 0x2000u);
    EXPECT_EQ(WinInetTransport::securityFlags(0x10), 0x100u);
    EXPECT_EQ(WinInetTransport::securityFlags(0x100), 0x1080u);
    EXPECT_EQ(WinInetTransport::securityFlags(0x400), 0x1100u);
    EXPECT_EQ(WinInetTransport::securityFlags(0x80000000u), 0x1000u);
    EXPECT_EQ(WinInetTransport::errorText(12029), QStringLiteral("Internet Cannot Connect."));
    EXPECT_TRUE(WinInetTransport::errorText(12035).isNull());
}

TEST(BodyLength, OneUsableLengthOrNone)
{
    BodyLength length;
    EXPECT_EQ(length.expected(), std::nullopt);
    length.header("content-length", " 42 ");
    length.header("Content-Length", "42"); // repeated alike
    EXPECT_EQ(length.expected(), 42);
    EXPECT_FALSE(length.broken());

    length.header("Content-Length", "43"); // contradicting: no length can be told
    EXPECT_EQ(length.expected(), std::nullopt);
    EXPECT_TRUE(length.broken());

    length.reset();
    length.header("Content-Length", "-1");
    EXPECT_TRUE(length.broken());
    length.reset();
    length.header("Content-Length", "10");
    length.header("Transfer-Encoding", "gzip, chunked"); // the chunks tell where the body ends
    EXPECT_EQ(length.expected(), std::nullopt);
    EXPECT_TRUE(length.chunked());
    length.setNoBody();
    EXPECT_EQ(length.expected(), 0);
    EXPECT_FALSE(length.chunked());
}

TEST(ChunkedBody, DecodesPieceByPieceAndRefusesBrokenFraming)
{
    const QByteArray framed = "5;name=value\r\nhello\r\n7 \n, world\r\n0\r\nTrailer: x\r\n\r\nafter";
    for (const qsizetype step : {qsizetype(1), qsizetype(4), framed.size()}) {
        ChunkedBody chunks;
        QByteArray body;
        ChunkedBody::State state = ChunkedBody::State::More;
        for (qsizetype at = 0; at < framed.size() && state == ChunkedBody::State::More; at += step)
            state = chunks.take(QByteArrayView(framed).sliced(at, std::min(step, framed.size() - at)), body);
        EXPECT_EQ(state, ChunkedBody::State::Done) << step;
        EXPECT_EQ(body, QByteArray("hello, world")) << step;
    }
    const QByteArray broken[] = {"x\r\n", "\r\n", "5\r\nhelloX\r\n", "1234567890abcdef0\r\n", "5 x\r\n",
                                 "5;" + QByteArray(ChunkedBody::kMaxLine, 'e'),
                                 "0\r\n" + QByteArray(ChunkedBody::kMaxLine + 1, 't')};
    for (const QByteArray& text : broken) {
        ChunkedBody chunks;
        QByteArray body;
        EXPECT_EQ(chunks.take(text, body), ChunkedBody::State::Broken) << text.left(40).toStdString();
    }
}

TEST(WinInetSettings, RefusedRequestsAreSentAgainOnceWhenTheFlagsAllow)
{
    const SendOptions first = SendOptions::initial(0, 0);
    EXPECT_FALSE(first.offerCertificate);
    EXPECT_TRUE(SendOptions::initial(0x40000000, 0).offerCertificate);
    EXPECT_EQ(first.retryAfter(12044, 0), std::nullopt);
    const auto withCertificate = first.retryAfter(12044, 0x04000000);
    ASSERT_TRUE(withCertificate);
    EXPECT_TRUE(withCertificate->offerCertificate);
    EXPECT_EQ(withCertificate->retryAfter(12044, 0x04000000), std::nullopt); // once only

    const auto anyAuthority = first.retryAfter(12045, 0x10);
    ASSERT_TRUE(anyAuthority);
    EXPECT_EQ(anyAuthority->securityFlags, 0x100u);
    EXPECT_EQ(anyAuthority->retryAfter(12045, 0x10), std::nullopt);
    EXPECT_EQ(first.retryAfter(12045, 0), std::nullopt);
    EXPECT_EQ(first.retryAfter(12029, 0xFFFFFFFF), std::nullopt);
}

TEST(CertificateStore, AStoreFileThatIsNoRegularFileIsNotOpenedAndNotWaitedOn)
{
    const platform::ScopedService<CertificateStoreFolders, ScratchStoreFolders> folders;
    const QString folder = folders->userFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile(folder + QStringLiteral("/EMPTY.pem")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder + QStringLiteral("/ZERO.pem")));
    const kelvane::test::PipeWithoutWriter pipe(folder + QStringLiteral("/PIPE.pem"));
    ASSERT_TRUE(pipe.made());

    EXPECT_TRUE(CertificateStore::open(QStringLiteral("EMPTY")).has_value());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(CertificateStore::open(QStringLiteral("PIPE")).has_value());

    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(pipe.readerWasStuck());
}
