#include "shell/basMain.h"

#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "shell/ShellGlobals.h"
#include "shell/basSettings.h"
#include "shell/frmNavigate.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>

namespace basMain {

bool EndsAtOnce(const QString& commandLine)
{
    return commandLine == QStringLiteral("r");
}

void InitGlobalConstants()
{
    basGlobal::StorageFlags = {1, 4, 8, 16};
}

void InitDefaultFont()
{
    basGlobal::LayoutMode = 0;
    basGlobal::DefaultFontName = QStringLiteral("MS Sans Serif");
}

std::unique_ptr<QTemporaryDir> SetUpFolders()
{
    basLibrary::TemplatesDirectory();
    auto runFolder = std::make_unique<QTemporaryDir>(QDir(basLibrary::TempFolder).filePath(QStringLiteral("kelvane-XXXXXX")));
    if (!runFolder->isValid())
        return nullptr;
    basLibrary::TempFolder = runFolder->path();
    return runFolder;
}

QString DocumentOfCommandLine(const QString& commandLine)
{
    static const QRegularExpression embedding(QStringLiteral("-embedding"), QRegularExpression::CaseInsensitiveOption);
    QString document = commandLine;
    document.remove(embedding);
    document.remove(u'"');
    document.remove(QStringLiteral("%1"));
    return document.trimmed();
}

void IgnoreFileSizeSignal()
{
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, nullptr);
}

Program Main(const QString& commandLine)
{
    IgnoreFileSizeSignal();
    Program program;
    program.runFolder = SetUpFolders();
    InitGlobalConstants();
    InitDefaultFont();
    basGlobal::LoadSettings(commandLine);
    program.mainWindow = std::make_unique<kelvane::frmNavigate>();
    program.mainWindow->Show(commandLine);
    basGlobal::MainWindow = program.mainWindow.get();
    return program;
}

} // namespace basMain
