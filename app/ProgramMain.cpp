#include "app/ProgramMain.h"

#include "app/ProgramServerLogon.h"
#include "automation/AutomationHost.h"
#include "automation/AutomationService.h"
#include "automation/ProgramClasses.h"
#include "forms/PasswordPromptUiServices.h"
#include "platform/FileDialogs.h"
#include "platform/SystemInfo.h"
#include "platform/gui/QtFileDialogs.h"
#include "platform/gui/QtUiServices.h"
#include "shell/ProgramFolder.h"
#include "shell/ShellGlobals.h"
#include "shell/ProductInfo.h"
#include "shell/basMain.h"
#include "shell/frmNavigate.h"

#include <QApplication>
#include <QTemporaryDir> // the run's folder, which start-up hands back

#include <cstdio>

namespace kelvane {

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int RunProgram(int argc, char** argv)
{
    QStringList arguments = argumentsOf(argc, argv);
    const QString programFolder = TakeProgramFolderOption(arguments);
    const QString commandLine = arguments.join(u' ');
    if (basMain::EndsAtOnce(commandLine))
        return 0;
    // Before anything is written (the registry of the program's classes, first of all).
    basMain::IgnoreFileSizeSignal();

    QApplication application(argc, argv);
    QApplication::setApplicationName(productinfo::ProductName());
    QApplication::setQuitOnLastWindowClosed(false); // the main window's unload ends the program

    // The desktop's services go with this scope, before the application they use; so does the
    // knowledge-server client, which owns sockets, before the thread's message queue that their
    // notifications pass through.
    const platform::ScopedService<platform::SystemInfo, ProgramSystemInfo> systemInfo(
        LocateProgramFolder(programFolder, QCoreApplication::applicationDirPath()));
    const platform::ScopedService<platform::UiServices, PasswordPromptUiServices> uiServices(
        std::make_unique<platform::gui::QtUiServices>());
    const platform::ScopedService<platform::FileDialogs, platform::gui::QtFileDialogs> fileDialogs;
    const platform::ScopedService<AbstractServerLogon, ProgramServerLogon> serverLogon;

    // The knowledge base of the open document, its events and its macro project; its classes
    // are entered in the registry for callers that create them by name.
    const AutomationInstallation automation;
    kelvane::automation::registerProgramClasses(QCoreApplication::applicationFilePath());

    basMain::Program program = basMain::Main(commandLine);
    if (program.mainWindow->Unloaded())
        return 0;
    // Started by an automation client: the knowledge base is offered to it on the session bus.
    std::unique_ptr<AutomationService> automationServer;
    if (basGlobal::AutomationMode) {
        automationServer = std::make_unique<AutomationService>(automation.host(), QDBusConnection::sessionBus());
        // A program no client can reach would run hidden for ever.
        if (!automationServer->registered()) {
            std::fprintf(stderr, "%s: the knowledge base cannot be offered to automation clients: another program "
                                 "already offers one on the session bus, or there is no session bus.\n",
                         qPrintable(QCoreApplication::applicationName()));
            return 2;
        }
        automationServer->endProgramWhenLeftAlone();
    }
    QObject::connect(program.mainWindow.get(), &frmNavigate::programEnded, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    return application.exec();
}

} // namespace kelvane
