// Transfers and listings against scripted servers that misbehave as real ones may: aborts in
// each phase of a transfer, a host that stops waiting, data from strangers, failures after the
// first byte, data that outlasts the final reply or is cut off, and listings without an end.
#include "ftp/FtpCodes.h"
#include "tests/ftp/ScriptedSession.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTcpSocket>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace kelvane::ftp;
using namespace std::chrono_literals;
using kelvane::test::raised;
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

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct stat statOf(const QString& path)
{
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

// File access on this thread as an ordinary user (nobody) while it lives: the tests may run as
// root, whom permission bits do not stop. The scratch folder and the temporary folder inside it
// open to that user. As an ordinary user already, this changes nothing.
class OrdinaryUser {
public:
    OrdinaryUser()
    {
        ::chmod(QFile::encodeName(kelvane::test::scratchFolder()).constData(), 0711);
        ::chmod(QFile::encodeName(kelvane::test::scratchFolder() + QStringLiteral("/tmp")).constData(), 01777);
        m_group = ::setfsgid(kNobody);
        m_user = ::setfsuid(kNobody);
    }
    ~OrdinaryUser()
    {
        ::setfsuid(m_user);
        ::setfsgid(m_group);
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

private:
    static constexpr int kNobody = 65534;
    int m_user = 0;
    int m_group = 0;
};

// Reads a FIFO to its end on a thread of its own, as another program would that comes a
// little after the writer.
class FifoReader {
public:
    explicit FifoReader(const QString& path)
    {
        m_thread = std::thread([this, name = QFile::encodeName(path)] {
            std::this_thread::sleep_for(200ms);
            const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
            pollfd ready {fd, POLLIN, 0};
            char buffer[65536];
            while (fd >= 0 && !m_stop) {
                if (::poll(&ready, 1, 50) <= 0)
                    continue;
                const ssize_t count = ::read(fd, buffer, sizeof buffer);
                if (count > 0)
                    m_bytes.append(buffer, count);
                else if (count == 0 || errno != EAGAIN)
                    break;
            }
            ::close(fd);
            m_done = true;
        });
    }
    ~FifoReader()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;
    // Everything read up to the writer's end, or within ten seconds.
    QByteArray finish()
    {
        QElapsedTimer waited;
        waited.start();
        while (!m_done && waited.elapsed() < 10000)
            std::this_thread::sleep_for(10ms);
        m_stop = true;
        m_thread.join();
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    std::atomic<bool> m_done = false;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

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

TEST_F(ScriptedSession, AnAbortAnsweredByOneReplyEndsWithinSecondsAndTheSessionStaysInStep)
{
    // A lone 226 for the transfer and ABOR both; a 426 for the transfer and ABOR refused.
    for (const char* caseName : {"abort-lone-226", "abort-refused"}) {
        SCOPED_TRACE(caseName);
        start(QString::fromLatin1(caseName));
        ftp.setPassive(true);
        ftp.setRemoteFile(QStringLiteral("big.bin"));
        bool aborted = false;
        events.onTransfer = [&](qint32) {
            if (!std::exchange(aborted, true))
                raised([&] { ftp.setAction(CFTPCtrl::a_Abort); });
        };
        QElapsedTimer clock;
        clock.start();
        EXPECT_NE(run(CFTPCtrl::a_Download), QString());
        EXPECT_LT(clock.elapsed(), 10000);
        events.onTransfer = nullptr;
        EXPECT_EQ(command(QStringLiteral("NOOP")), QString());
        EXPECT_EQ(ftp.LastReply(), QStringLiteral("200 NOOP ok"));
        EXPECT_EQ(run(CFTPCtrl::a_Logoff), QString());
        EXPECT_EQ(peer->problems(), QStringList());
    }
}

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
    // Nothing more was received once the host stopped waiting.
    EXPECT_EQ(events.counts.size(), 1);

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

TEST_F(ScriptedSession, ADownloadWritesIntoTheFileItNamesAsAnyWriterWould)
{
    start(QStringLiteral("downloads-in-place"));
    ftp.setPassive(true);
    const QString folder = local(QStringLiteral("in-place"));
    QDir().mkpath(folder);
    const QString tempFolder = local(QStringLiteral("tmp"));
    const QStringList tempBefore = entriesOf(tempFolder);

    // A file with a second name and a mode of its own keeps both, and stays the same file.
    const QString file = folder + QStringLiteral("/file.bin");
    writeFile(file, "the old content, longer than the new");
    ::chmod(QFile::encodeName(file).constData(), 0640);
    ::link(QFile::encodeName(file).constData(), QFile::encodeName(folder + QStringLiteral("/second-name.bin")).constData());
    const struct stat before = statOf(file);
    // Killed at any moment, the download would leave nothing behind.
    QStringList entriesDuring;
    events.onTransfer = [&](qint32) { entriesDuring = entriesOf(folder) + entriesOf(tempFolder); };
    ftp.setRemoteFile(QStringLiteral("new.bin"));
    ftp.setLocalFile(file);
    EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
    EXPECT_EQ(readFile(folder + QStringLiteral("/second-name.bin")), QByteArray("the new content"));
    const struct stat after = statOf(file);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(entriesDuring, QStringList({QStringLiteral("file.bin"), QStringLiteral("second-name.bin")}) + tempBefore);

    // A FIFO is written to directly, every byte through it, once its reader came; it stays a FIFO.
    events.onTransfer = nullptr;
    const QString fifo = folder + QStringLiteral("/stream");
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    FifoReader reader(fifo);
    ftp.setRemoteFile(QStringLiteral("stream.bin"));
    ftp.setLocalFile(fifo);
    EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
    EXPECT_EQ(reader.finish(), QByteArray("0123456789").repeated(100000));
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_EQ(entriesOf(folder), QStringList({QStringLiteral("file.bin"), QStringLiteral("second-name.bin"),
                                              QStringLiteral("stream")}));
    EXPECT_EQ(peer->problems(), QStringList());
}

TEST_F(ScriptedSession, ALocalFileTheUserMayNotWriteIsRefusedBeforeTheTransfer)
{
    start(QStringLiteral("download-unwritable-folder"));
    ftp.setPassive(true);
    ftp.setRemoteFile(QStringLiteral("new.bin"));
    const QString open = local(QStringLiteral("open"));
    QDir().mkpath(open);
    ::chmod(QFile::encodeName(open).constData(), 0777);
    const QString readOnly = open + QStringLiteral("/read-only.bin");
    writeFile(readOnly, "keep me");
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    const QString closed = local(QStringLiteral("closed"));
    QDir().mkpath(closed);
    const QString writable = closed + QStringLiteral("/writable.bin");
    writeFile(writable, "the old content");
    ::chmod(QFile::encodeName(writable).constData(), 0666);
    ::chmod(QFile::encodeName(closed).constData(), 0555);
    const QString tempFolder = local(QStringLiteral("tmp"));
    const QStringList tempBefore = entriesOf(tempFolder);
    {
        OrdinaryUser user;
        // A read-only file, and a folder.
        for (const QString& path : {readOnly, open}) {
            ftp.setLocalFile(path);
            EXPECT_EQ(run(CFTPCtrl::a_Download), QStringLiteral("20145 Error opening local file."));
        }
        // A file the user may write, in a folder the user may not add to.
        ftp.setLocalFile(writable);
        EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
    }
    EXPECT_EQ(events.errors, QStringList(2, QStringLiteral("4 Error opening local file.")));
    EXPECT_EQ(readFile(readOnly), QByteArray("keep me"));
    EXPECT_EQ(readFile(writable), QByteArray("the new content"));
    EXPECT_EQ(entriesOf(open), QStringList(QStringLiteral("read-only.bin")));
    EXPECT_EQ(entriesOf(closed), QStringList(QStringLiteral("writable.bin")));
    EXPECT_EQ(entriesOf(tempFolder), tempBefore);
    // The refused downloads sent nothing.
    EXPECT_EQ(peer->problems(), QStringList());
}

TEST_F(ScriptedSession, AnUploadTheServerCutsShortIsNeverReportedDone)
{
    // The server replies 226 at once, reads part of the file and closes; in either mode, every time.
    writeFile(local(QStringLiteral("big.bin")), QByteArray(20000000, 'u'));
    for (const char* caseName : {"cut-upload-passive", "cut-upload-active"}) {
        for (int attempt = 1; attempt <= 5; ++attempt) {
            SCOPED_TRACE(caseName + (", attempt " + std::to_string(attempt)));
            start(QString::fromLatin1(caseName));
            ftp.setPassive(QByteArray(caseName) != "cut-upload-active");
            ftp.setRemoteFile(QStringLiteral("big.bin"));
            ftp.setLocalFile(local(QStringLiteral("big.bin")));
            QElapsedTimer clock;
            clock.start();
            EXPECT_NE(run(CFTPCtrl::a_Upload), QString());
            EXPECT_LT(clock.elapsed(), 10000);
            EXPECT_EQ(command(QStringLiteral("NOOP")), QString());
            EXPECT_EQ(run(CFTPCtrl::a_Logoff), QString());
            EXPECT_EQ(peer->problems(), QStringList());
        }
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
