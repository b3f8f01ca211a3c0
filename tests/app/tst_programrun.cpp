// The program run whole, as a user starts and ends it: its own start-up and end, in a process
// of its own (the driver, the program with a user's steps taken on its windows), with a home
// of its own.

#include "platform/SystemInfo.h"
#include "tests/server/FakeKnowledgeServer.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using kelvane::test::FakeKnowledgeServer;
using kelvane::test::PipeWithoutWriter;

namespace {

struct Outcome {
    bool ended = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QStringList told; // the steps taken, as the driver wrote them
    QString errors;   // what the program wrote to its standard error
};

class ProgramRun : public ::testing::Test {
protected:
    ProgramRun() { QDir().mkpath(configFolder() + QStringLiteral("/Kelvane")); }

    QString configFolder() const { return home.filePath(QStringLiteral("config")); }

    // The settings of a user who has seen the sample's introduction: the server's address and
    // the certificates to trust for it.
    void useServer(const QString& url, const QString& certificates = {})
    {
        QFile file(configFolder() + QStringLiteral("/Kelvane/Kelvane.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Introduction]\nCar%20will%20not%20start=1\n[Settings]\nTavro=" + url.toUtf8()
                   + "\nTavro%20Certificate=" + certificates.toUtf8() + "\n");
    }

    // Starts the program with no document and takes the steps; `fileSizeLimit` caps every file
    // it writes, as "ulimit -f" would.
    Outcome run(const QString& steps, rlim_t fileSizeLimit = RLIM_INFINITY) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder());
        environment.insert(QStringLiteral("TMP"), home.path());
        environment.insert(QStringLiteral("TMPDIR"), home.path());
        environment.insert(QStringLiteral("KELVANE_PROGRAM_DIR"), QStringLiteral(KELVANE_BUILD_DIR "/app"));
        environment.insert(QStringLiteral("KELVANE_DRIVER_STEPS"), steps);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setChildProcessModifier([fileSizeLimit] {
            // As a shell starts it: the signal of an overlong file at its default.
            std::signal(SIGXFSZ, SIG_DFL);
            const rlimit limit {fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        program.start(QStringLiteral(KELVANE_BUILD_DIR "/tests/app/program_driver"));
        Outcome result;
        result.ended = program.waitForFinished(120000);
        if (!result.ended)
            program.kill();
        program.waitForFinished();
        result.status = program.exitStatus();
        result.exitCode = program.exitCode();
        result.told = QString::fromLocal8Bit(program.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        result.errors = QString::fromLocal8Bit(program.readAllStandardError());
        return result;
    }

    QTemporaryDir home {kelvane::test::scratchFolder() + QStringLiteral("/home-XXXXXX")};
};

// Ended as it should, with nothing of it used after the application went.
void expectCleanEnd(const Outcome& run, const QStringList& told)
{
    EXPECT_TRUE(run.ended) << "the program did not end";
    EXPECT_EQ(run.status, QProcess::NormalExit) << run.errors.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_FALSE(run.errors.contains(QStringLiteral("QGuiApplication"))) << run.errors.toStdString();
    ASSERT_EQ(run.told.size(), told.size()) << run.told.join(u'|').toStdString();
    for (qsizetype i = 0; i < told.size(); ++i)
        EXPECT_TRUE(run.told[i].startsWith(told[i])) << run.told[i].toStdString();
}

bool isPipe(const QString& path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

} // namespace

TEST_F(ProgramRun, EndsCleanlyAfterTheServerCouldNotBeReached)
{
    useServer(FakeKnowledgeServer::refusingURL());
    const QString refused = QStringLiteral("message: Cannot connect to server | [10061] Connection refused");
    const QStringList told {refused, refused, QStringLiteral("start dialog: Kelvane")};
    for (int runs = 0; runs < 2; ++runs)
        expectCleanEnd(run(QStringLiteral("online,ok,online,ok,escape")), told);
}

TEST_F(ProgramRun, EndsCleanlyAfterAKnowledgeBaseWasReadFromTheServer)
{
    FakeKnowledgeServer server(QStringLiteral("normal"), QStringLiteral("listing.xml"), std::nullopt,
                               platform::LinuxSystemInfo().userName());
    ASSERT_TRUE(server.started());
    useServer(server.url(), server.endpoint().TrustedCertificates);
    expectCleanEnd(run(QStringLiteral("online,choose,close")),
                   {QStringLiteral("chosen: Car will not start"), QStringLiteral("main window: Car will not start")});
}

// Under a file-size limit smaller than the files it keeps (the registry of its classes among
// them), a first run still starts and shows its window, and the registry is not left cut short.
TEST_F(ProgramRun, StartsUnderAFileSizeLimit)
{
    expectCleanEnd(run(QStringLiteral("escape"), 8 * 1024), {QStringLiteral("start dialog: Kelvane")});
    QFile registry(configFolder() + QStringLiteral("/Kelvane/registry.json"));
    if (registry.open(QIODevice::ReadOnly))
        EXPECT_FALSE(QJsonDocument::fromJson(registry.readAll()).isNull()) << "a registry cut short";
}

// A registry file or a settings file that is a named pipe is not waited on: the program says so,
// shows its window and leaves the pipe as it is.
TEST_F(ProgramRun, ShowsItsWindowWhenItsRegistryOrSettingsFileIsAPipe)
{
    const QString registry = configFolder() + QStringLiteral("/Kelvane/registry.json");
    {
        const PipeWithoutWriter pipe(registry, std::chrono::seconds(20));
        const Outcome outcome = run(QStringLiteral("escape"));
        expectCleanEnd(outcome, {QStringLiteral("start dialog: Kelvane")});
        EXPECT_TRUE(outcome.errors.contains(registry + QStringLiteral(" cannot be read"))) << outcome.errors.toStdString();
        EXPECT_FALSE(pipe.readerWasStuck());
        EXPECT_TRUE(isPipe(registry));
    }
    const QString settings = configFolder() + QStringLiteral("/Kelvane/Kelvane.ini");
    const PipeWithoutWriter pipe(settings, std::chrono::seconds(20));
    expectCleanEnd(run(QStringLiteral("ok,escape")),
                   {QStringLiteral("message: ") + settings + QStringLiteral(" cannot be read"), QStringLiteral("start dialog: Kelvane")});
    EXPECT_FALSE(pipe.readerWasStuck());
    EXPECT_TRUE(isPipe(settings));
}
