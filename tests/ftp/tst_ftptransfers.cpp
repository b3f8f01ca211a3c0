// Transfers and listings against scripted servers that misbehave as real ones may: aborts in
// each phase of a transfer, a host that stops waiting, data from strangers, failures after the
// first byte, data that outlasts the final reply or is cut off, and listings without an end.
#include "ftp/FtpCodes.h"
#include "tests/ftp/ScriptedSession.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>
#include <chrono>

using namespace kelvane::ftp;
using namespace std::chrono_literals;
using kelvane::test::ScriptedSession;

namespace {

const QString kMissingFile = QStringLiteral("20142 550 No such file");

QString local(const QString& name) { return kelvane::test::scratchFolder() + u'/' + name; }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The phases in which a host may abort, each with the case its server plays and the event
// the host aborts from (the first Transfer event, or a trace line).
struct AbortPhase {
    const char* caseName;
    const char* trigger;
    bool upload = false;
};

class AbortPhases : public ScriptedSession, public ::testing::WithParamInterface<AbortPhase> {};

} // namespace

TEST_P(AbortPhases, AbortReadsWhatItProducedAndTheNextCommandGetsItsOwnReply)
{
    const AbortPhase phase = GetParam();
    start(QString::fromLatin1(phase.caseName));
    ftp.setPassive(!phase.upload);
    ftp.setRemoteFile(phase.upload ? QStringLiteral("up.bin") : QStringLiteral("big.bin"));
    if (phase.upload)
        writeFile(local(QStringLiteral("up.bin")), QByteArray(4 << 20, 'u'));
    ftp.setLocalFile(local(phase.upload ? QStringLiteral("up.bin") : QStringLiteral("down.bin")));
    bool aborted = false;
    const auto abort = [&] {
        if (std::exchange(aborted, true))
            return;
        ftp.setAction(CFTPCtrl::a_Abort);
    };
    const QString trigger = QString::fromLatin1(phase.trigger);
    if (trigger.isEmpty())
        events.onTransfer = [&](qint32) { abort(); };
    else
        // The trace of a command comes just before it goes out: abort once it is out.
        events.onTrail = [&](const QString& line) {
            if (line == trigger)
                QTimer::singleShot(0, &ftp, abort);
        };
    EXPECT_EQ(run(phase.upload ? CFTPCtrl::a_Upload : CFTPCtrl::a_Download), QStringLiteral("20302 Interrupted."));
    EXPECT_TRUE(aborted);
    EXPECT_EQ(ftp.Action(), 0);

    events.onTransfer = nullptr;
    events.onTrail = nullptr;
    ftp.setRemoteFile(QStringLiteral("gone.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), kMissingFile);
    EXPECT_EQ(peer->problems(), QStringList());
    EXPECT_EQ(events.starts, events.ends);
}

INSTANTIATE_TEST_SUITE_P(
    Phases, AbortPhases,
    ::testing::Values(AbortPhase {"abort-before-reply", "0 RETR big.bin"}, AbortPhase {"abort-while-sending", ""},
                      AbortPhase {"abort-after-transfer-reply", ""}, AbortPhase {"abort-active-upload", "", true}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.caseName);
        return name.remove(u'-').toStdString();
    });

TEST_F(ScriptedSession, AHostThatStopsWaitingMidTransferLeavesRepliesInStep)
{
    start(QStringLiteral("interrupted-download"));
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("big.bin"));
    writeFile(local(QStringLiteral("kept.bin")), "kept");
    ftp.setLocalFile(local(QStringLiteral("kept.bin")));
    events.onTransfer = [&](qint32) {
        events.onTransfer = nullptr;
        ftp.setAction(CFTPCtrl::a_Idle);
    };
    EXPECT_EQ(run(CFTPCtrl::a_Download), QStringLiteral("20302 Interrupted."));
    EXPECT_EQ(readFile(local(QStringLiteral("kept.bin"))), QByteArray("kept"));

    EXPECT_EQ(command(QStringLiteral("NOOP")), QString());
    EXPECT_EQ(ftp.LastReply(), QStringLiteral("200 NOOP ok"));
    ftp.setRemoteFile(QStringLiteral("gone.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), kMissingFile);
    EXPECT_EQ(peer->problems(), QStringList());
    // The late reply of the download was traced when it was read.
    EXPECT_TRUE(events.trail.contains(QStringLiteral("1 426 Connection closed; transfer aborted")));
}

TEST_F(ScriptedSession, PassiveDataComesFromTheControlPeerWhateverHostThe227Names)
{
    start(QStringLiteral("pasv-other-host"));
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("note.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
    EXPECT_EQ(events.data, QByteArray("the server's bytes"));
    EXPECT_EQ(peer->problems(), QStringList());
}

TEST_F(ScriptedSession, ActiveModeTakesItsDataConnectionOnlyFromTheServer)
{
    start(QStringLiteral("active-stranger"));
    ftp.setPassive(false);
    ftp.setRemoteFile(QStringLiteral("note.txt"));
    // The announced port is open on the control connection's own address only.
    bool reachableElsewhere = true;
    events.onTrail = [&](const QString& line) {
        if (!line.startsWith(QStringLiteral("0 PORT ")))
            return;
        const QStringList numbers = line.mid(7).split(u',');
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.3"), static_cast<quint16>(numbers[4].toInt() * 256 + numbers[5].toInt()));
        reachableElsewhere = probe.waitForConnected(1000);
    };
    EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
    EXPECT_EQ(events.data, QByteArray("the server's bytes"));
    EXPECT_FALSE(reachableElsewhere);
    EXPECT_EQ(peer->problems(), QStringList());
}

TEST_F(ScriptedSession, AFailedDownloadLeavesTheLocalFileAsItWasInEitherMode)
{
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        start(passive ? QStringLiteral("failed-download-passive") : QStringLiteral("failed-download-active"));
        ftp.setPassive(passive);
        ftp.setRemoteFile(QStringLiteral("keep.txt"));
        writeFile(local(QStringLiteral("keep.txt")), "keep me");
        ftp.setLocalFile(local(QStringLiteral("keep.txt")));
        EXPECT_EQ(run(CFTPCtrl::a_Download), QStringLiteral("20142 451 Local error in processing"));
        EXPECT_EQ(readFile(local(QStringLiteral("keep.txt"))), QByteArray("keep me"));
        EXPECT_EQ(QDir(kelvane::test::scratchFolder()).entryList(QDir::Files).filter(QStringLiteral("keep")),
                  QStringList(QStringLiteral("keep.txt")));
        EXPECT_EQ(run(CFTPCtrl::a_Logoff), QString());
        EXPECT_EQ(peer->problems(), QStringList());
    }
}

TEST_F(ScriptedSession, DataThatOutlastsTheFinalReplyIsReceivedWhileItKeepsComing)
{
    start(QStringLiteral("late-data"));
    // The data trickles for about a second, each piece well within the limit.
    ftp.setNoProgressLimit(500ms);
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("slow.bin"));
    // The new copy replaces the old one through a link to it, and keeps its permissions.
    writeFile(local(QStringLiteral("slow.bin")), "the old copy");
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(local(QStringLiteral("slow.bin")), permissions);
    QFile::link(local(QStringLiteral("slow.bin")), local(QStringLiteral("link-to-slow.bin")));
    ftp.setLocalFile(local(QStringLiteral("link-to-slow.bin")));
    EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
    EXPECT_EQ(readFile(local(QStringLiteral("slow.bin"))), QByteArray("0123456789").repeated(1000));
    EXPECT_EQ(QFile::permissions(local(QStringLiteral("slow.bin"))) & 0x7077, permissions);
    EXPECT_TRUE(QFileInfo(local(QStringLiteral("link-to-slow.bin"))).isSymLink());
}

TEST_F(ScriptedSession, DataThatStopsAfterTheFinalReplyFailsTheDownload)
{
    start(QStringLiteral("stalled-data"));
    ftp.setNoProgressLimit(300ms);
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("slow.bin"));
    writeFile(local(QStringLiteral("slow.bin")), "the old copy");
    ftp.setLocalFile(local(QStringLiteral("slow.bin")));
    EXPECT_EQ(run(CFTPCtrl::a_Download), QStringLiteral("25061 [10060] Connection timed out."));
    EXPECT_EQ(readFile(local(QStringLiteral("slow.bin"))), QByteArray("the old copy"));
}

TEST_F(ScriptedSession, AResetDataConnectionFailsTheTransferWhateverTheServerSays)
{
    start(QStringLiteral("reset-data"));
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("big.bin"));
    writeFile(local(QStringLiteral("big.bin")), "the old copy");
    ftp.setLocalFile(local(QStringLiteral("big.bin")));
    EXPECT_EQ(run(CFTPCtrl::a_Download), QStringLiteral("25055 [10054] Connection reset by peer."));
    EXPECT_EQ(readFile(local(QStringLiteral("big.bin"))), QByteArray("the old copy"));
    EXPECT_EQ(events.errors.filter(QStringLiteral("10054")).size(), 1) << events.errors.join(u'\n').toStdString();
    EXPECT_EQ(peer->problems(), QStringList());
}

TEST_F(ScriptedSession, ARestartIntoAMissingLocalFileFailsAndCreatesNothing)
{
    start(QStringLiteral("restart-missing-file"));
    ftp.setPassive(true);
    ftp.setStartByte(100);
    ftp.setRemoteFile(QStringLiteral("tail.bin"));
    ftp.setLocalFile(local(QStringLiteral("never-there.bin")));
    EXPECT_EQ(run(CFTPCtrl::a_Download), QStringLiteral("20145 Error opening local file."));
    EXPECT_EQ(events.errors, QStringList(QStringLiteral("4 Error opening local file.")));
    EXPECT_FALSE(QFile::exists(local(QStringLiteral("never-there.bin"))));
    EXPECT_FALSE(events.commands().contains(QStringLiteral("RETR tail.bin")));
}

TEST_F(ScriptedSession, AListingLineWithoutAnEndFailsCleanlyAndTheSessionGoesOn)
{
    start(QStringLiteral("endless-listing-line"));
    ftp.setPassive(true);
    EXPECT_EQ(run(CFTPCtrl::a_ListDirectoryLong), QStringLiteral("20142 Unexpected server reply."));
    EXPECT_EQ(events.dirList, QStringList());
    EXPECT_EQ(command(QStringLiteral("NOOP")), QString());
    EXPECT_EQ(ftp.LastReply(), QStringLiteral("200 NOOP ok"));
    EXPECT_EQ(peer->problems(), QStringList());
}
