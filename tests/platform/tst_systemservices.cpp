#include "platform/CommandLine.h"
#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/SystemInfo.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QDir>
#include <gtest/gtest.h>

namespace {
// Sets (or, for null, clears) an environment variable for the guard's lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~ScopedEnvironment() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};
} // namespace

// Each variable counts only when it names a folder that is there: a missing one would make
// every save and report fail.
TEST(SystemInfo, TempFolderFallsBackFromTmpToTmpdirToSlashTmp)
{
    platform::LinuxSystemInfo system;
    const QByteArray fromTmp = (kelvane::test::scratchFolder() + QStringLiteral("/from-tmp")).toLocal8Bit();
    const QByteArray fromTmpdir = (kelvane::test::scratchFolder() + QStringLiteral("/from-tmpdir")).toLocal8Bit();
    QDir().mkpath(QString::fromLocal8Bit(fromTmp));
    QDir().mkpath(QString::fromLocal8Bit(fromTmpdir));
    ScopedEnvironment tmp("TMP", nullptr);
    ScopedEnvironment tmpdir("TMPDIR", fromTmpdir.constData());
    EXPECT_EQ(system.tempFolder(), QString::fromLocal8Bit(fromTmpdir));
    {
        ScopedEnvironment tmpSet("TMP", fromTmp.constData());
        EXPECT_EQ(system.tempFolder(), QString::fromLocal8Bit(fromTmp));
    }
    {
        ScopedEnvironment tmpMissing("TMP", "/no/such/folder");
        EXPECT_EQ(system.tempFolder(), QString::fromLocal8Bit(fromTmpdir));
        ScopedEnvironment tmpdirMissing("TMPDIR", "/no/such/folder/either");
        EXPECT_EQ(system.tempFolder(), QStringLiteral("/tmp"));
    }
    ScopedEnvironment tmpdirEmpty("TMPDIR", "");
    EXPECT_EQ(system.tempFolder(), QStringLiteral("/tmp"));
}

TEST(SystemInfo, FoldersOfTheUserAndTheProgram)
{
    platform::LinuxSystemInfo system;
    EXPECT_EQ(system.documentsFolder(), kelvane::test::scratchFolder() + QStringLiteral("/home/Documents"));
    EXPECT_TRUE(QFile::exists(system.programFolder() + QStringLiteral("/tst_systemservices")));
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotes)
{
    using platform::splitCommandLine;
    EXPECT_EQ(splitCommandLine(QStringLiteral("\"C:\\Program Files\\app.exe\" /p  x\t\"\" ")),
              QStringList({"C:\\Program Files\\app.exe", "/p", "x", ""}));
    EXPECT_EQ(splitCommandLine(QStringLiteral("a\"b c\"d \"open end")), QStringList({"ab cd", "open end"}));
    EXPECT_TRUE(splitCommandLine(QStringLiteral("   ")).isEmpty());
}

TEST(ProcessLauncher, PassesArgumentsUntouchedAndFailsForMissingPrograms)
{
    const QString marker = kelvane::test::scratchFolder() + QStringLiteral("/started $(x) 'y'.txt");
    platform::DetachedProcessLauncher launcher;
    launcher.start(QStringLiteral("/usr/bin/touch"), {marker});
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(marker));
    EXPECT_EQ(kelvane::test::errorNumberOf([&] { launcher.start(QStringLiteral("/no/such/program"), {}); }),
              kelvane::err::FileNotFound);
}
