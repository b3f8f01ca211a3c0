// The FTP control against a scripted peer: exact command lines, odd and trickled replies,
// servers that never answer or never end a line, connections that never complete, the names'
// encoding; and the control's properties without a server.
#include "ftp/FtpCodes.h"
#include "platform/automation/PropertyBag.h"
#include "tests/ftp/ScriptedSession.h"
#include "tests/support/QStringPrinter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kelvane::ftp;
using namespace std::chrono_literals;
using kelvane::test::FtpEvents;
using kelvane::test::raised;
using kelvane::test::ScriptedSession;

namespace {

// A listener on 127.0.0.1 whose queue is already full: the system drops further connection
// requests, so a connect to it neither completes nor fails for a long time.
class UnansweringListener {
public:
    UnansweringListener()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(m_listener, 0);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(m_filler, reinterpret_cast<sockaddr*>(&address), length);
    }
    ~UnansweringListener()
    {
        ::close(m_filler);
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};

// The host's own event loop runs, as between two actions.
void idleFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(FtpControl, RefusesValuesItCannotSendAndOutOfRangeCodes)
{
    CFTPCtrl ftp;
    const QString badValue = QStringLiteral("380 Bad property value.");
    EXPECT_EQ(raised([&] { ftp.setUser(QString(33, u'u')); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setPassword(QStringLiteral("a\r\nDELE x")); }), badValue);
    EXPECT_EQ(raised([&] { ftp.setRemoteFile(QString::fromLatin1("nul\0l", 5)); }), badValue);
    // Names the ANSI code page lacks may go out in UTF-8: the server tells at log-on.
    EXPECT_EQ(raised([&] { ftp.setAltFile(QStringLiteral("\u4e2d.txt")); }), QString());
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
    EXPECT_EQ(events.commands(), QStringList({QStringLiteral("USER kelvane"), QStringLiteral("FEAT"),
                                              QStringLiteral("OPTS UTF8 ON"), QStringLiteral("PASV"),
                                              QStringLiteral("PASV"), QStringLiteral("ABOR"),
                                              QStringLiteral("DELE gone.txt"), QStringLiteral("NOOP")}));
}

TEST_F(ScriptedSession, OddRepliesNeitherHoldTheSessionNorAnswerAnotherCommand)
{
    start(QStringLiteral("odd-replies"));
    QElapsedTimer clock;
    clock.start();
    // A feature list closed by another code announces nothing: names stay in the ANSI code page.
    EXPECT_EQ(run(CFTPCtrl::a_Logon), QString());
    // A reply that comes while the host is idle answers no command; a reply of several lines
    // closed by another code ends there.
    ftp.setRemoteFile(QStringLiteral("caf\u00e9.txt"));
    idleFor(200);
    EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), QStringLiteral("20142 200 Closed by another code"));
    EXPECT_EQ(command(QStringLiteral("NOOP")), QString());
    EXPECT_EQ(ftp.LastReply(), QStringLiteral("200 NOOP ok"));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(events.trail.contains(QStringLiteral("1 500 A reply nobody asked for")));
    EXPECT_EQ(peer->problems(), QStringList());
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

TEST_F(ScriptedSession, ASilentServerFailsTheActionOnceNothingMovedForTheLimit)
{
    start(QStringLiteral("never-answers"));
    ftp.setNoProgressLimit(300ms);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(run(CFTPCtrl::a_Logon), QStringLiteral("25061 [10060] Connection timed out."));
    EXPECT_LT(clock.elapsed(), 5000);
    // The session cannot go on in step: the connection is closed, and the next action starts anew.
    EXPECT_EQ(ftp.SocketHandle(), -1);
}

TEST_F(ScriptedSession, AReplyLineWithoutAnEndFailsTheActionAndClosesTheConnection)
{
    start(QStringLiteral("endless-reply-line"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(run(CFTPCtrl::a_Logon), QStringLiteral("20142 Unexpected server reply."));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(ftp.SocketHandle(), -1);
}

TEST_F(ScriptedSession, AnInterruptedConnectLeavesTheControlIdleAndUsable)
{
    UnansweringListener unanswering;
    start(QStringLiteral("multiline-greeting"));
    const quint16 peerPort = peer->port();
    ftp.setRemotePort(unanswering.port());
    QTimer::singleShot(200, &ftp, [this] { ftp.setAction(CFTPCtrl::a_Idle); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(run(CFTPCtrl::a_Logon), QStringLiteral("20302 Interrupted."));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(ftp.SocketHandle(), -1);
    EXPECT_EQ(ftp.Action(), 0);
    EXPECT_EQ(run(CFTPCtrl::a_Logoff), QString());
    EXPECT_EQ(raised([&] { ftp.setRemoteHost(QStringLiteral("127.0.0.1")); }), QString());
    EXPECT_EQ(raised([&] { ftp.setRemotePort(peerPort); }), QString());
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    EXPECT_EQ(run(CFTPCtrl::a_Logon), QString());
    EXPECT_EQ(peer->problems(), QStringList());
}

TEST_F(ScriptedSession, AConnectThatNeverCompletesFailsOnceNothingMovedForTheLimit)
{
    UnansweringListener unanswering;
    start(QStringLiteral("never-answers"));
    ftp.setRemotePort(unanswering.port());
    ftp.setNoProgressLimit(300ms);
    EXPECT_EQ(run(CFTPCtrl::a_Logon), QStringLiteral("25061 [10060] Connection timed out."));
    EXPECT_EQ(ftp.SocketHandle(), -1);
}

TEST_F(ScriptedSession, NamesGoOutInUtf8WhenTheServerAnnouncesIt)
{
    start(QStringLiteral("utf8-server"));
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("caf\u00e9.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), QString());
    EXPECT_EQ(ftp.LastReply(), QStringLiteral("250 Deleted caf\u00e9.txt"));
    ftp.setRemoteFile(QString());
    EXPECT_EQ(run(CFTPCtrl::a_ListDirectory), QString());
    EXPECT_EQ(events.dirList, QStringList({QStringLiteral("caf\u00e9.txt"), QStringLiteral("\u65e5\u672c.txt"),
                                           QStringLiteral("old-caf\u00e9.txt")}));
    EXPECT_EQ(peer->problems(), QStringList());
}

TEST_F(ScriptedSession, NamesGoOutInTheAnsiCodePageWhenTheServerKnowsNoUtf8)
{
    start(QStringLiteral("ansi-server"));
    ftp.setRemoteFile(QStringLiteral("caf\u00e9.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), QString());
    EXPECT_EQ(ftp.LastReply(), QStringLiteral("250 Deleted caf\u00e9.txt"));
    // A name this server cannot be sent is refused before anything goes out.
    ftp.setRemoteFile(QStringLiteral("\u65e5\u672c.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), QStringLiteral("380 Bad property value."));
    EXPECT_EQ(command(QStringLiteral("NOOP")), QString());
    EXPECT_EQ(peer->problems(), QStringList());
}
