#pragma once

#include "platform/SystemInfo.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace kelvane {

// The program's data folder (help pages, style sheets, the sample): `chosen` when it is given
// (the --program-dir option or the KELVANE_PROGRAM_DIR variable); else the executable's own
// folder when it holds the help folder, as a build tree does; else the installed data folder
// "<prefix>/share/kelvane" beside the executable's "<prefix>/bin".
QString LocateProgramFolder(const QString& chosen, const QString& executableFolder);

// Takes "--program-dir <folder>" or "--program-dir=<folder>" out of the arguments and gives the
// folder; else the KELVANE_PROGRAM_DIR variable; else "".
QString TakeProgramFolderOption(QStringList& arguments);

// The system facts of the running program with its data folder as the program folder.
class ProgramSystemInfo : public platform::LinuxSystemInfo {
public:
    explicit ProgramSystemInfo(QString programFolder) : m_programFolder(std::move(programFolder)) {}
    QString programFolder() override { return m_programFolder; }

private:
    QString m_programFolder;
};

} // namespace kelvane
