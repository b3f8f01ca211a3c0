#include "shell/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>

namespace kelvane {

namespace {
const QString kOption = QStringLiteral("--program-dir");
}

QString LocateProgramFolder(const QString& chosen, const QString& executableFolder)
{
    if (!chosen.isEmpty())
        return QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
    const QDir executable(executableFolder);
    if (QFileInfo(executable.filePath(QStringLiteral("help"))).isDir())
        return QDir::cleanPath(executable.absolutePath());
    return QDir::cleanPath(executable.absoluteFilePath(QStringLiteral("../share/kelvane")));
}

QString TakeProgramFolderOption(QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString argument = arguments.at(i);
        if (argument == kOption && i + 1 < arguments.size()) {
            const QString folder = arguments.at(i + 1);
            arguments.remove(i, 2);
            return folder;
        }
        if (argument.startsWith(kOption + u'=')) {
            arguments.removeAt(i);
            return argument.mid(kOption.size() + 1);
        }
    }
    return qEnvironmentVariable("KELVANE_PROGRAM_DIR");
}

} // namespace kelvane
