// The FTP control against a scripted peer: exact command lines, odd and trickled replies, a
// server that never answers; and the control's properties without a server.
#include "ftp/FtpCodes.h"
#include "ftp/FtpReplies.h"
#include "ftp/ReceiveBuffer.h"
#include "platform/automation/PropertyBag.h"
#include "tests/ftp/FtpTestSupport.h"
#include "tests/ftp/ScriptedFtpPeer.h"
#include "tests/support/QStringPrinter.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace kelvane::ftp;
using kelvane::test::FtpEvents;
using kelvane::test::raised;
using kelvane::test::ScriptedFtpPeer;

namespace {

QList<QByteArray> piecesOf(ReceiveBuffer& buffer, const QList<QByteArray>& reads)
{
    QList<QByteArray> pieces;
    for (const QByteArray& bytes : reads) {
        int space = 0;
        char* into = buffer.freeSpace(space);
        memcpy(into, bytes.constData(), static_cast<size_t>(bytes.size()));
        buffer.commit(static_cast<int>(bytes.size()));
        QByteArray piece;
        while (buffer.takePiece(piece))
            pieces << piece;
    }
    return pieces;
}

// A control pointed at a scripted peer, logged on as kelvane with the password secret.
class ScriptedSession : public ::testing::Test {
protected:
    void start(const QString& caseName)
    {
        peer = std::make_unique<ScriptedFtpPeer>(caseName);
        ftp.setWinsockLoaded(true);
        ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
        ftp.setRemotePort(peer->port());
        ftp.setUser(QStringLiteral("kelvane"));
        ftp.setPassword(QStringLiteral("secret"));
    }

    CFTPCtrl ftp;
    FtpEvents events {ftp};
    std::unique_ptr<ScriptedFtpPeer> peer;
};

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
    QByteArray rest;
    ASSERT_TRUE(exact.takeRest(rest));
    EXPECT_EQ(rest, QByteArray("rest"));
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
}

TEST(FtpReplies, PassiveAddressesAndPortArguments)
{
    using platform::sockets::SocketAddress;
    EXPECT_EQ(passiveAddress("227 Entering Passive Mode (192,168,1,2,19,137)"), (SocketAddress {0xC0A80102, 5001}));
    EXPECT_EQ(passiveAddress("227 Entering Passive Mode (192, 168, 1, 2, 19, 137)."), (SocketAddress {0xC0A80102, 5001}));
    for (const char* refused : {"227 (192,168,1,2,19)", "227 (256,1,1,1,1,1)", "227 (1,,1,1,1,1)", "227 no numbers",
                                "200 (1,2,3,4,5,6)", "227 (1,2,3,4,5,1000)"})
        EXPECT_FALSE(passiveAddress(refused)) << refused;
    EXPECT_EQ(portArgument({0x7F000001, 5001}), QByteArray("127,0,0,1,19,137"));
    EXPECT_EQ(pathOfPwdReply("257 \"/pub/x\" is current"), QByteArray("/pub/x"));
}

TEST(FtpControl, RefusesValuesItCannotSendAndOutOfRangeCodes)
{
    CFTPCtrl ftp;
    const QString badValue = QStringLiteral("380 Bad property value.");
    EXPECT_EQ(raised([&] { ftp.setUser(QString(33, u'u')); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setPassword(QStringLiteral("a\r\nDELE x")); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setRemoteFile(QString::fromLatin1("nul\0l", 5)); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setAltFile(QStringLiteral("\u4e2d.txt")); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setLocalFile(QString(257, u'f')); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setCommand(QStringLiteral("")); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setStartByte(-1); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setTransferMode(3); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setAction(16); }), badValue);
    EXPECT_EQ(ftp.User(), QString());
    EXPECT_EQ(ftp.TransferMode(), 0);
    EXPECT_EQ(raised([&] { ftp.setUser(QString(32, u'u')); }), QString());

    // Without the socket layer a name stays unresolved and a log-on finds no address.
    ftp.setRemoteHost(QStringLiteral("ftp.example"));
    EXPECT_EQ(ftp.RemoteHost(), QString());
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }),
              QStringLiteral("20103 The RemoteHost address is invalid (0.0.0.0)."));
    ftp.setWinsockLoaded(true);
    ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
    ftp.setWinsockLoaded(false);
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }),
              QStringLiteral("25094 [10093] Winsock not loaded yet (WSANOTINITIALISED)."));
}

TEST(FtpControl, SavesStoredValuesAndLoadsThemBack)
{
    CFTPCtrl ftp;
    ftp.setRemoteHost(QStringLiteral("10.1.2.3"));
    ftp.setUser(QStringLiteral("kelvane"));
    ftp.setRemotePath(QStringLiteral("/pub"));
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    ftp.setPassive(true);
    ftp.setRemotePort(2121);
    ftp.setStartByte(10);
    platform::automation::PropertyBag bag;
    ftp.WriteProperties(bag);
    EXPECT_EQ(bag.names(), QStringList({QStringLiteral("_Version"), QStringLiteral("User"), QStringLiteral("RemotePath"),
                                        QStringLiteral("TransferMode"), QStringLiteral("Passive")}));

    CFTPCtrl loaded;
    loaded.ReadProperties(platform::automation::PropertyBag::fromText(bag.toText()));
    EXPECT_EQ(loaded.User(), QStringLiteral("kelvane"));
    EXPECT_EQ(loaded.RemotePath(), QStringLiteral("/pub"));
    EXPECT_EQ(loaded.TransferMode(), CFTPCtrl::tm_Binary);
    EXPECT_TRUE(loaded.Passive());
    EXPECT_EQ(loaded.RemotePort(), 21);

    loaded.setUserMode(false);
    EXPECT_EQ(raised([&] { loaded.StartByte(); }).left(3), QStringLiteral("394"));
}

TEST_F(ScriptedSession, AMultiLineGreetingIsReadToItsLastLine)
{
    start(QStringLiteral("multiline-greeting"));
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }), QString());
    EXPECT_EQ(peer->problems(), QStringList());
    EXPECT_EQ(ftp.LastReply(), QStringLiteral("200 Type set to I"));
    EXPECT_EQ(ftp.TransferMode(), CFTPCtrl::tm_Binary);
    EXPECT_TRUE(events.trail.contains(QStringLiteral("1 Lines of a long reply may say anything")));
    EXPECT_EQ(events.trail.first(), QStringLiteral("2 Connecting to FTP server."));
    EXPECT_EQ(ftp.Action(), 0);
}

TEST_F(ScriptedSession, RepliesTrickledOneByteAtATimeAreWholeLines)
{
    start(QStringLiteral("trickled"));
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }), QString());
    EXPECT_EQ(ftp.RemotePath(), QStringLiteral("/home/kelvane"));
    EXPECT_EQ(peer->problems(), QStringList());
    EXPECT_TRUE(events.trail.contains(QStringLiteral("1 331 Send the password")));
    EXPECT_FALSE(events.trail.contains(QStringLiteral("1 ")));
}

TEST_F(ScriptedSession, AServerThatNeverAnswersIsLeftByAnInterrupt)
{
    start(QStringLiteral("never-answers"));
    QTimer::singleShot(200, &ftp, [this] { ftp.setAction(CFTPCtrl::a_Idle); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }), QStringLiteral("20302 Interrupted."));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(ftp.Action(), 0);
    // The interrupt belonged to that action: the next one waits again.
    QTimer::singleShot(100, &ftp, [this] { ftp.setAction(CFTPCtrl::a_Idle); });
    EXPECT_EQ(raised([&] { ftp.setCommand(QStringLiteral("NOOP")); }), QStringLiteral("20302 Interrupted."));
}

TEST_F(ScriptedSession, RepliesDecideEachActionsOutcome)
{
    start(QStringLiteral("reply-codes"));
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("gone.txt"));
    // USER answered 230: no PASS goes out, and the listing's PASV comes next.
    const QString unexpected = QStringLiteral("20142 Unexpected server reply.");
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_ListDirectory); }), unexpected);
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_ListDirectory); }), unexpected);
    EXPECT_EQ(events.errors, QStringList({unexpected, unexpected}));
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Abort); }), QString());
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_DeleteFile); }), QStringLiteral("20142 426 Not after DELE"));
    EXPECT_EQ(raised([&] { ftp.setCommand(QStringLiteral("NOOP")); }), QString());
    EXPECT_EQ(ftp.LastReply(), QStringLiteral("200 ") + QString(1020, u'x'));
    EXPECT_EQ(peer->problems(), QStringList());
    EXPECT_EQ(events.commands(), QStringList({QStringLiteral("USER kelvane"), QStringLiteral("PASV"),
                                              QStringLiteral("PASV"), QStringLiteral("ABOR"),
                                              QStringLiteral("DELE gone.txt"), QStringLiteral("NOOP")}));
}

TEST_F(ScriptedSession, ARefusedConnectionRaisesTheSocketError)
{
    start(QStringLiteral("never-answers"));
    const quint16 port = peer->port();
    peer.reset();
    ftp.setRemotePort(port);
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }), QStringLiteral("25062 [10061] Connection refused."));
    EXPECT_EQ(events.errors, QStringList(QStringLiteral("20143 Failed to connect:  [10061] Connection refused.")));
    EXPECT_EQ(ftp.SocketHandle(), -1);
}
