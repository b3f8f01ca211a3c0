#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace kelvane::test {

namespace {
std::unique_ptr<QTemporaryDir>& scratch()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

void prepareEnvironment()
{
    scratch() = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kelvane-test-XXXXXX"));
    const QByteArray root = QFile::encodeName(scratch()->path());
    QDir(scratch()->path()).mkpath(QStringLiteral("config"));
    QDir(scratch()->path()).mkpath(QStringLiteral("home"));
    QDir(scratch()->path()).mkpath(QStringLiteral("tmp"));
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/home/.local/share");
    qputenv("HOME", root + "/home");
    qputenv("TMP", root + "/tmp");
    qputenv("TMPDIR", root + "/tmp");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir::setCurrent(scratch()->path());
}

void releaseEnvironment()
{
    QDir::setCurrent(QDir::rootPath());
    scratch().reset();
}

QString scratchFolder() { return scratch() ? scratch()->path() : QDir::tempPath(); }

QString dataPath(const QString& relative)
{
    return QStringLiteral(KELVANE_TEST_DATA) + u'/' + relative;
}

QString buildPath(const QString& relative)
{
    return QStringLiteral(KELVANE_BUILD_DIR) + u'/' + relative;
}

} // namespace kelvane::test
