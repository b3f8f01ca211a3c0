#pragma once

#include <QString>
#include <memory>

class QTemporaryDir;

namespace kelvane {
class frmNavigate;
}

// The program's start-up.
namespace basMain {

// A command line of exactly "r" ends the program before anything else happens.
bool EndsAtOnce(const QString& commandLine);

// The storage mode flags (1, 4, 8, 16).
void InitGlobalConstants();
// The layout mode (0) and the default font name.
void InitDefaultFont();

// The last-used and temporary folders. The program keeps its fixed-name files (request files,
// report output, save copies) in a folder of its own, made inside the temporary folder for the
// run and readable by the user only; the returned object removes it when it goes. When it
// cannot be made, the temporary folder itself is used and nothing is returned.
std::unique_ptr<QTemporaryDir> SetUpFolders();

// The document a command line names: without "-Embedding" (any letter case), every double
// quote and every "%1", trimmed; "" when nothing is left.
QString DocumentOfCommandLine(const QString& commandLine);

// What start-up leaves running: the main window and the run's own folder.
struct Program {
    std::unique_ptr<QTemporaryDir> runFolder; // removed last
    std::unique_ptr<kelvane::frmNavigate> mainWindow;
};

// Writes past the user's file-size limit fail (a short write, or EFBIG) instead of ending the
// program with SIGXFSZ: a save cut short is reported, and nothing else is lost.
void IgnoreFileSizeSignal();

// Start-up after the "r" test: the file-size signal ignored, folders, constants, default font,
// settings (and the automation flag), then the main window is made and shown; its load (start dialog or command-line file,
// document, knowledge base, introduction) runs to its end inside this call. The window may come
// back unloaded: the program then ends.
Program Main(const QString& commandLine);

} // namespace basMain
