#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <optional>

namespace kelvane::test {

// A python3 that has the olefile module, an independent reader of compound files; nothing when
// none is installed (the tests that need it are then skipped).
inline std::optional<QString> pythonWithOlefile()
{
    for (const QString& python : {QStandardPaths::findExecutable(QStringLiteral("python3")),
                                  QStringLiteral("/usr/bin/python3")}) {
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import olefile")});
        if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return python;
    }
    return std::nullopt;
}

} // namespace kelvane::test
