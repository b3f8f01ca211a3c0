// The FTP control against real servers started on loopback: pyftpdlib and vsftpd.
#include "tests/ftp/FtpServerProcess.h"
#include "tests/ftp/FtpTestSupport.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <map>

using namespace kelvane::ftp;
using kelvane::test::FtpEvents;
using kelvane::test::FtpServerProcess;
using kelvane::test::raised;

namespace {

using Kind = FtpServerProcess::Kind;

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& c : bytes)
        c = static_cast<char>(generator.bounded(256));
    return bytes;
}

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

QString local(const QString& name) { return kelvane::test::scratchFolder() + u'/' + name; }

// A control logged on to the server of the test's kind; each server starts once.
class FtpServers : public ::testing::TestWithParam<Kind> {
protected:
    static void TearDownTestSuite() { servers().clear(); }

    static std::map<Kind, std::unique_ptr<FtpServerProcess>>& servers()
    {
        static std::map<Kind, std::unique_ptr<FtpServerProcess>> running;
        return running;
    }

    void SetUp() override
    {
        auto& entry = servers()[GetParam()];
        if (!entry)
            entry = std::make_unique<FtpServerProcess>(GetParam(), kelvane::test::scratchFolder());
        server = entry.get();
        ASSERT_EQ(server->failure(), QString());
        ftp.setWinsockLoaded(true);
        ftp.setRemoteHost(QStringLiteral("localhost"));
        ftp.setRemotePort(server->port());
        ftp.setUser(server->user());
        ftp.setPassword(server->password());
        ASSERT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }), QString());
    }

    void TearDown() override { ftp.setAction(CFTPCtrl::a_Logoff); }

    QString remote(const QString& name) const { return server->root() + u'/' + name; }

    QString run(CFTPCtrl::TAction action)
    {
        return raised([&] { ftp.setAction(action); });
    }

    FtpServerProcess* server = nullptr;
    CFTPCtrl ftp;
    FtpEvents events {ftp};
};

} // namespace

TEST_P(FtpServers, ManagesFoldersAndFiles)
{
    EXPECT_EQ(ftp.RemoteHost(), QStringLiteral("127.0.0.1"));
    // vsftpd runs without a changed root: its home is the served folder's own path.
    const QString home = ftp.RemotePath();
    EXPECT_EQ(home, GetParam() == Kind::Pyftpdlib ? QStringLiteral("/") : server->root());
    const QString docs = (home == QStringLiteral("/") ? QString() : home) + QStringLiteral("/docs");
    ftp.setRemoteFile(QStringLiteral("docs"));
    EXPECT_EQ(run(CFTPCtrl::a_MakeDirectory), QString());
    ftp.setRemotePath(QStringLiteral("docs"));
    EXPECT_EQ(ftp.RemotePath(), docs);
    ftp.setRemotePath(QStringLiteral(".."));
    EXPECT_EQ(ftp.RemotePath(), home);
    EXPECT_EQ(raised([&] { ftp.setRemotePath(QStringLiteral("no-such-folder")); }).left(9), QStringLiteral("20142 550"));

    writeFile(remote(QStringLiteral("old.txt")), "text");
    ftp.setRemoteFile(QStringLiteral("old.txt"));
    ftp.setAltFile(QStringLiteral("docs/new.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_RenameFile), QString());
    EXPECT_EQ(readFile(remote(QStringLiteral("docs/new.txt"))), QByteArray("text"));
    ftp.setRemoteFile(QStringLiteral("docs/new.txt"));
    EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), QString());
    ftp.setRemoteFile(QStringLiteral("docs"));
    EXPECT_EQ(run(CFTPCtrl::a_RemoveDirectory), QString());
    EXPECT_FALSE(QFile::exists(remote(QStringLiteral("docs"))));
    EXPECT_TRUE(events.commands().contains(QStringLiteral("CDUP")));
    EXPECT_EQ(events.errors, QStringList());
}

TEST_P(FtpServers, TransfersAndListsInPassiveAndActiveMode)
{
    const QByteArray content = randomBytes(150000) + "\r\n\n\r";
    writeFile(local(QStringLiteral("up.bin")), content);
    ftp.setTransferMode(CFTPCtrl::tm_ASCII);
    EXPECT_EQ(ftp.TransferMode(), CFTPCtrl::tm_ASCII);
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        const QString name = passive ? QStringLiteral("passive.bin") : QStringLiteral("active.bin");
        ftp.setPassive(passive);
        ftp.setLocalFile(local(QStringLiteral("up.bin")));
        ftp.setRemoteFile(name);
        EXPECT_EQ(run(CFTPCtrl::a_Upload), QString());
        EXPECT_EQ(readFile(remote(name)), content);

        ftp.setLocalFile(local(QStringLiteral("down.bin")));
        EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
        EXPECT_EQ(readFile(local(QStringLiteral("down.bin"))), content);
        EXPECT_EQ(events.counts.constLast(), content.size());

        writeFile(remote(QStringLiteral("note.txt")), "a short note");
        events.data.clear();
        ftp.setLocalFile(QString());
        ftp.setRemoteFile(QStringLiteral("note.txt"));
        EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
        EXPECT_EQ(events.data, QByteArray("a short note"));

        events.dirList.clear();
        ftp.setRemoteFile(QString());
        EXPECT_EQ(run(CFTPCtrl::a_ListDirectory), QString());
        EXPECT_TRUE(events.dirList.contains(name)) << events.dirList.join(u'|').toStdString();
        events.dirList.clear();
        EXPECT_EQ(run(CFTPCtrl::a_ListDirectoryLong), QString());
        EXPECT_TRUE(events.dirList.filter(name).size() == 1 && events.dirList.first().size() > name.size())
            << events.dirList.join(u'|').toStdString();
    }
    EXPECT_EQ(events.starts, 10);
    EXPECT_EQ(events.ends, 10);
    EXPECT_TRUE(events.commands().contains(QStringLiteral("TYPE A")));
    EXPECT_EQ(events.errors, QStringList());
}

TEST_P(FtpServers, RestartsTransfersAtStartByte)
{
    const QByteArray content = randomBytes(5000);
    writeFile(remote(QStringLiteral("whole.bin")), content);
    writeFile(local(QStringLiteral("part.bin")), content.left(1200));
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    ftp.setPassive(true);
    ftp.setStartByte(1200);
    ftp.setRemoteFile(QStringLiteral("whole.bin"));
    ftp.setLocalFile(local(QStringLiteral("part.bin")));
    EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
    EXPECT_EQ(readFile(local(QStringLiteral("part.bin"))), content);
    ASSERT_FALSE(events.counts.isEmpty());
    EXPECT_GT(events.counts.first(), 1200);

    writeFile(remote(QStringLiteral("resumed.bin")), content.left(3000));
    ftp.setStartByte(3000);
    ftp.setRemoteFile(QStringLiteral("resumed.bin"));
    EXPECT_EQ(run(CFTPCtrl::a_Upload), QString());
    EXPECT_EQ(readFile(remote(QStringLiteral("resumed.bin"))), content);
    EXPECT_TRUE(events.commands().contains(QStringLiteral("REST 3000")));
}

TEST_P(FtpServers, AnAbortFromATransferEventEndsTheDownload)
{
    writeFile(remote(QStringLiteral("big.bin")), randomBytes(8 << 20));
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    ftp.setPassive(GetParam() == Kind::Pyftpdlib);
    ftp.setRemoteFile(QStringLiteral("big.bin"));
    ftp.setLocalFile(local(QStringLiteral("big.bin")));
    qint16 actionInEvent = -1;
    events.onTransfer = [&](qint32) {
        if (actionInEvent >= 0)
            return;
        actionInEvent = ftp.Action();
        ftp.setAction(CFTPCtrl::a_Abort);
    };
    EXPECT_EQ(run(CFTPCtrl::a_Download), QStringLiteral("20302 Interrupted."));
    EXPECT_EQ(actionInEvent, CFTPCtrl::a_Download);
    EXPECT_EQ(ftp.Action(), 0);
    EXPECT_LT(QFileInfo(local(QStringLiteral("big.bin"))).size(), 8 << 20);
    // The session goes on.
    events.onTransfer = nullptr;
    EXPECT_EQ(raised([&] { ftp.setCommand(QStringLiteral("NOOP")); }), QString());
    EXPECT_TRUE(ftp.LastReply().startsWith(QStringLiteral("200")));
}

TEST_P(FtpServers, ARefusedDownloadLeavesTheLocalFileAsItWas)
{
    writeFile(local(QStringLiteral("keep.txt")), "keep me");
    ftp.setLocalFile(local(QStringLiteral("keep.txt")));
    ftp.setRemoteFile(QStringLiteral("missing.bin"));
    for (const bool passive : {true, false}) {
        ftp.setPassive(passive);
        EXPECT_EQ(run(CFTPCtrl::a_Download).left(9), QStringLiteral("20142 550"));
        EXPECT_EQ(readFile(local(QStringLiteral("keep.txt"))), QByteArray("keep me"));
    }
    EXPECT_EQ(events.starts, events.ends);
}

// The host cuts a transfer short from its Transfer event, by an abort (Action 1) or by no
// longer waiting (Action 0); either way the next commands get their own replies, and a
// download leaves the local file as it was.
TEST_P(FtpServers, ATransferCutShortInAnyPhaseLeavesTheNextCommandItsOwnReply)
{
    constexpr int kSize = 8 << 20;
    writeFile(remote(QStringLiteral("big.bin")), randomBytes(kSize));
    writeFile(local(QStringLiteral("up.bin")), randomBytes(kSize));
    ftp.setTransferMode(CFTPCtrl::tm_Binary);
    struct Phase {
        const char* name;
        CFTPCtrl::TAction action;
        qint32 cutAt; // the Transfer count from which the host cuts it short
        CFTPCtrl::TAction cut;
    };
    const Phase phases[] = {{"abort a download at its first piece", CFTPCtrl::a_Download, 0, CFTPCtrl::a_Abort},
                            {"abort a download near its end", CFTPCtrl::a_Download, kSize - (256 << 10), CFTPCtrl::a_Abort},
                            {"abort an upload at 5 MB", CFTPCtrl::a_Upload, 5 << 20, CFTPCtrl::a_Abort},
                            {"stop waiting for a download", CFTPCtrl::a_Download, 0, CFTPCtrl::a_Idle}};
    for (const bool passive : {true, false}) {
        for (const Phase& phase : phases) {
            SCOPED_TRACE(std::string(phase.name) + (passive ? ", passive" : ", active"));
            ftp.setPassive(passive);
            const bool upload = phase.action == CFTPCtrl::a_Upload;
            ftp.setRemoteFile(upload ? QStringLiteral("up.bin") : QStringLiteral("big.bin"));
            writeFile(local(QStringLiteral("kept.bin")), "kept");
            ftp.setLocalFile(local(upload ? QStringLiteral("up.bin") : QStringLiteral("kept.bin")));
            bool cut = false;
            events.onTransfer = [&](qint32 count) {
                if (count < phase.cutAt || std::exchange(cut, true))
                    return;
                ftp.setAction(phase.cut);
            };
            const QString result = run(phase.action);
            events.onTransfer = nullptr;
            EXPECT_TRUE(cut);
            EXPECT_EQ(result, QStringLiteral("20302 Interrupted."));
            EXPECT_EQ(readFile(local(QStringLiteral("kept.bin"))), QByteArray("kept"));
            ftp.setRemoteFile(QStringLiteral("no-such-file.bin"));
            EXPECT_EQ(run(CFTPCtrl::a_DeleteFile).left(9), QStringLiteral("20142 550"));
            EXPECT_EQ(raised([&] { ftp.setCommand(QStringLiteral("NOOP")); }), QString());
            EXPECT_TRUE(ftp.LastReply().startsWith(QStringLiteral("200")));
        }
    }
    EXPECT_EQ(events.starts, events.ends);
}

TEST_P(FtpServers, NamesOutsideTheAnsiCodePageTravelInUtf8)
{
    const QStringList names {QStringLiteral("caf\u00e9.txt"), QStringLiteral("\u65e5\u672c.txt")};
    writeFile(local(QStringLiteral("name.txt")), "named");
    ftp.setPassive(true);
    for (const QString& name : names) {
        ftp.setLocalFile(local(QStringLiteral("name.txt")));
        ftp.setRemoteFile(name);
        EXPECT_EQ(run(CFTPCtrl::a_Upload), QString()) << name.toStdString();
        EXPECT_EQ(readFile(remote(name)), QByteArray("named")) << name.toStdString();
    }
    ftp.setRemoteFile(QString());
    EXPECT_EQ(run(CFTPCtrl::a_ListDirectory), QString());
    for (const QString& name : names)
        EXPECT_TRUE(events.dirList.contains(name)) << events.dirList.join(u'|').toStdString();
    for (const QString& name : names) {
        ftp.setRemoteFile(name);
        ftp.setLocalFile(local(QStringLiteral("back.txt")));
        EXPECT_EQ(run(CFTPCtrl::a_Download), QString());
        EXPECT_EQ(readFile(local(QStringLiteral("back.txt"))), QByteArray("named"));
        EXPECT_EQ(run(CFTPCtrl::a_DeleteFile), QString());
        EXPECT_FALSE(QFile::exists(remote(name)));
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpServers, ::testing::Values(Kind::Pyftpdlib, Kind::Vsftpd),
                         [](const auto& info) {
                             return std::string(info.param == Kind::Pyftpdlib ? "pyftpdlib" : "vsftpd");
                         });

TEST(FtpLogOn, AWrongPasswordIsRefusedWithTheServersReply)
{
    FtpServerProcess server(Kind::Pyftpdlib, kelvane::test::scratchFolder());
    ASSERT_EQ(server.failure(), QString());
    CFTPCtrl ftp;
    ftp.setWinsockLoaded(true);
    ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
    ftp.setRemotePort(server.port());
    ftp.setUser(server.user());
    ftp.setPassword(QStringLiteral("wrong"));
    EXPECT_EQ(raised([&] { ftp.setAction(CFTPCtrl::a_Logon); }).left(9), QStringLiteral("20142 530"));
}
