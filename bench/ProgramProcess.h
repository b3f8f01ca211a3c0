#pragma once

#include "shell/ProductInfo.h"

#include <QApplication>
#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

namespace kelvane::bench {

// Chooses the offscreen platform unless one is named; made before the application.
struct OffscreenUnlessNamed {
    OffscreenUnlessNamed()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
};

// The application of a benchmark that runs the program: on the offscreen platform unless one is
// named, called as the program, and not ended when its last window closes (the main window's
// unload ends the program).
class ProgramApplication : private OffscreenUnlessNamed, public QApplication {
public:
    ProgramApplication(int& argc, char** argv) : QApplication(argc, argv)
    {
        setApplicationName(productinfo::ProductName());
        setQuitOnLastWindowClosed(false);
    }
};

// Runs `program` with `arguments`, offscreen, with `home` as its home, data, cache and temporary
// folders and `config` as its configuration folder. Its standard output, or nothing when it
// failed or did not end within `limitMs`.
inline QByteArray runInUserFolder(const QString& program, const QStringList& arguments, const QString& home,
                                  const QString& config, int limitMs)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* folder : {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "TMP", "TMPDIR"})
        environment.insert(QString::fromLatin1(folder), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, arguments);
    if (!child.waitForFinished(limitMs)) {
        child.kill();
        child.waitForFinished();
        return {};
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {};
    return child.readAllStandardOutput().trimmed();
}

// Runs this benchmark's own program again with `arguments` in a fresh user folder (home,
// configuration, data, cache and temporary folders all one new folder), so that each measurement
// starts as a first run does.
inline QByteArray runInFreshUserFolder(const QStringList& arguments, int limitMs)
{
    const QTemporaryDir home;
    return runInUserFolder(QCoreApplication::applicationFilePath(), arguments, home.path(), home.path(), limitMs);
}

} // namespace kelvane::bench
