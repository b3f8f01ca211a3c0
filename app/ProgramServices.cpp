#include "app/ProgramServices.h"

#include "app/ProgramServerLogon.h"
#include "automation/ProgramClasses.h"
#include "forms/PasswordPromptUiServices.h"
#include "platform/FileDialogs.h"
#include "platform/SystemInfo.h"
#include "platform/gui/QtFileDialogs.h"
#include "platform/gui/QtUiServices.h"
#include "shell/ProgramFolder.h"

#include <QCoreApplication>

namespace kelvane {

ProgramServices::Platform::Platform(const QString& programFolder)
{
    platform::Service<platform::SystemInfo>::replace(std::make_unique<ProgramSystemInfo>(
        LocateProgramFolder(programFolder, QCoreApplication::applicationDirPath())));
    platform::Service<platform::UiServices>::replace(
        std::make_unique<PasswordPromptUiServices>(std::make_unique<platform::gui::QtUiServices>()));
    platform::Service<platform::FileDialogs>::replace(std::make_unique<platform::gui::QtFileDialogs>());
    platform::Service<AbstractServerLogon>::replace(std::make_unique<ProgramServerLogon>());
}

ProgramServices::ProgramServices(const QString& programFolder) : m_platform(programFolder)
{
    automation::registerProgramClasses(QCoreApplication::applicationFilePath());
}

} // namespace kelvane
