#include "platform/CommandLine.h"
#include "platform/HostPath.h"
#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/SystemInfo.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using platform::LinuxSystemInfo;

namespace {

// Sets or clears an environment variable for the guard's lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name), m_had(qEnvironmentVariableIsSet(name))
    {
        m_old = qgetenv(name);
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

TEST(SystemInfo, TempFolderFallsBackFromTmpToTmpdirToSlashTmp)
{
    LinuxSystemInfo system;
    {
        ScopedEnvironment tmp("TMP", "/from/tmp");
        ScopedEnvironment tmpdir("TMPDIR", "/from/tmpdir");
        EXPECT_EQ(system.tempFolder(), QStringLiteral("/from/tmp"));
    }
    {
        ScopedEnvironment tmp("TMP", nullptr);
        ScopedEnvironment tmpdir("TMPDIR", "/from/tmpdir");
        EXPECT_EQ(system.tempFolder(), QStringLiteral("/from/tmpdir"));
    }
    {
        ScopedEnvironment tmp("TMP", "");
        ScopedEnvironment tmpdir("TMPDIR", nullptr);
        EXPECT_EQ(system.tempFolder(), QStringLiteral("/tmp"));
    }
}

TEST(SystemInfo, FoldersOfTheUserAndTheProgram)
{
    LinuxSystemInfo system;
    EXPECT_EQ(system.documentsFolder(), kelvane::test::scratchFolder() + QStringLiteral("/home/Documents"));
    EXPECT_EQ(system.programFolder(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(QFile::exists(system.programFolder() + QStringLiteral("/tst_systemservices")));
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotes)
{
    using platform::splitCommandLine;
    EXPECT_EQ(splitCommandLine(QStringLiteral("\"C:\\Program Files\\App\\app.exe\" /p  x\t\"\" ")),
              (QStringList {QStringLiteral("C:\\Program Files\\App\\app.exe"), QStringLiteral("/p"), QStringLiteral("x"),
                            QString()}));
    EXPECT_EQ(splitCommandLine(QStringLiteral("a\"b c\"d")), QStringList {QStringLiteral("ab cd")});
    EXPECT_EQ(splitCommandLine(QStringLiteral("\"unterminated arg")), QStringList {QStringLiteral("unterminated arg")});
    EXPECT_TRUE(splitCommandLine(QStringLiteral("   ")).isEmpty());
}

TEST(HostPath, TurnsStoredSeparatorsIntoTheHosts)
{
    EXPECT_EQ(platform::hostPath(QStringLiteral("..\\kb\\a.qkb")), QStringLiteral("../kb/a.qkb"));
    EXPECT_EQ(platform::hostPath(QStringLiteral("/srv/kb/a.qkb")), QStringLiteral("/srv/kb/a.qkb"));
}

TEST(ProcessLauncher, PassesArgumentsUntouchedAndFailsForMissingPrograms)
{
    const QString marker = kelvane::test::scratchFolder() + QStringLiteral("/started $(x) 'y'.txt");
    platform::DetachedProcessLauncher launcher;
    launcher.start(QStringLiteral("/usr/bin/touch"), {marker});
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(marker));

    try {
        launcher.start(QStringLiteral("/no/such/program"), {});
        ADD_FAILURE();
    } catch (const kelvane::RuntimeError& e) {
        EXPECT_EQ(e.Number(), kelvane::err::FileNotFound);
    }
}
