#include "app/ProgramServices.h"

#include "automation/ProgramClasses.h"
#include "platform/gui/QtUiServices.h"

#include <QCoreApplication>

namespace kelvane {

ProgramServices::ProgramServices(const QString& programFolder)
    : m_systemInfo(LocateProgramFolder(programFolder, QCoreApplication::applicationDirPath()))
    , m_uiServices(std::make_unique<platform::gui::QtUiServices>())
{
    automation::registerProgramClasses(QCoreApplication::applicationFilePath());
}

} // namespace kelvane
