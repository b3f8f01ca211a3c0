// Reads the input as the program's command line, as start-up does: the arguments (NUL
// separates them) lose the program-folder option, join into one line, which may end the program
// at once or mark an automation start, and name the document, which the diagram control opens.
// The open command of a file type, as the registry keeps it, is split into a program and its
// arguments as well.
#include "FuzzSupport.h"

#include "diagram/ctlPelnet.h"
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "platform/CommandLine.h"
#include "platform/Service.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "shell/ProgramFolder.h"
#include "shell/ShellGlobals.h"
#include "shell/basMain.h"
#include "shell/basSettings.h"

namespace {

// The document is opened only where it cannot be a file the system makes as it is read.
bool namesSystemFiles(const QString& document)
{
    const QString host = QString(document).replace(u'\\', u'/');
    return host.contains(QStringLiteral("/proc")) || host.contains(QStringLiteral("/sys"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    fuzz::ensureApplication();
    qunsetenv("KELVANE_PROGRAM_DIR");
    qputenv("XDG_CONFIG_HOME", (fuzz::scratchFolder() + QStringLiteral("/config")).toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    ui->messageBoxes.clear();
    // A relative document name is looked up in the scratch folder.
    const fuzz::WorkingFolder working(fuzz::scratchFolder());

    QStringList arguments;
    for (const QByteArray& argument : fuzz::bytesOf(data, size).split('\0'))
        arguments << QString::fromLocal8Bit(argument);
    const qsizetype given = arguments.size();
    const QString programFolder = kelvane::TakeProgramFolderOption(arguments);
    fuzz::require(arguments.size() == given || arguments.size() + 1 == given || arguments.size() + 2 == given,
                  "the program-folder option took more than itself");
    kelvane::LocateProgramFolder(programFolder, fuzz::scratchFolder());
    const QString commandLine = arguments.join(u' ');

    const QStringList split = platform::splitCommandLine(commandLine);
    for (const QString& part : split)
        fuzz::require(!part.contains(u'"'), "a part of a split command line keeps a quote");
    if (basMain::EndsAtOnce(commandLine))
        return 0;

    basGlobal::AutomationMode = false;
    basGlobal::LoadSettings(commandLine);
    fuzz::require(basGlobal::AutomationMode == basGlobal::IsAutomationStart(commandLine),
                  "the automation start is not what the command line asks");
    const QString document = basMain::DocumentOfCommandLine(commandLine);
    fuzz::require(document == document.trimmed() && !document.contains(u'"'), "the document name keeps blanks or quotes");
    if (document.isEmpty() || namesSystemFiles(document))
        return 0;
    kelvane::ctlPelnet control;
    control.Network()->setFileName(document);
    control.FileOpen(nullptr, true);
    return 0;
}
