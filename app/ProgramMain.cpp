#include "app/ProgramMain.h"

#include "app/ProgramServices.h"

#include "automation/AutomationService.h"
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

    // The desktop's services and the knowledge base's automation go with this scope, before the
    // application they use and the thread's message queue that the log-on's sockets report through.
    const ProgramServices services(programFolder);

    basMain::Program program = basMain::Main(commandLine);
    if (program.mainWindow->Unloaded())
        return 0;
    // Started by an automation client: the knowledge base is offered to it on the session bus.
    std::unique_ptr<AutomationService> automationServer;
    if (basGlobal::AutomationMode) {
        automationServer = std::make_unique<AutomationService>(services.automationHost(), QDBusConnection::sessionBus());
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
