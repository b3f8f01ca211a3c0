// The program's entry: a command line of exactly "r" ends it at once; otherwise the platform
// services of the desktop are installed and start-up shows the main window.

#include "app/ProgramServices.h"
#include "automation/AutomationService.h"
#include "shell/ProgramFolder.h"
#include "shell/ShellGlobals.h"
#include "shell/ProductInfo.h"
#include "shell/basMain.h"
#include "shell/frmNavigate.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments = argumentsOf(argc, argv);
    const QString programFolder = kelvane::TakeProgramFolderOption(arguments);
    const QString commandLine = arguments.join(u' ');
    if (basMain::EndsAtOnce(commandLine))
        return 0;

    QApplication application(argc, argv);
    QApplication::setApplicationName(kelvane::productinfo::ProductName());
    QApplication::setQuitOnLastWindowClosed(false); // the main window's unload ends the program

    // The desktop's services, and the knowledge base of the open document with its events and
    // macro project; its classes are entered in the registry for callers that create them by name.
    const kelvane::ProgramServices services(programFolder);

    basMain::Program program = basMain::Main(commandLine);
    if (program.mainWindow->Unloaded())
        return 0;
    // Started by an automation client: the knowledge base is offered to it on the session bus.
    std::unique_ptr<kelvane::AutomationService> automationServer;
    if (basGlobal::AutomationMode) {
        automationServer = std::make_unique<kelvane::AutomationService>(services.automationHost(), QDBusConnection::sessionBus());
        // A program no client can reach would run hidden for ever.
        if (!automationServer->registered()) {
            std::fprintf(stderr, "%s: the knowledge base cannot be offered to automation clients: another program "
                                 "already offers one on the session bus, or there is no session bus.\n",
                         qPrintable(QCoreApplication::applicationName()));
            return 2;
        }
    }
    QObject::connect(program.mainWindow.get(), &kelvane::frmNavigate::programEnded, &application, &QApplication::quit,
                     Qt::QueuedConnection);
    return application.exec();
}
