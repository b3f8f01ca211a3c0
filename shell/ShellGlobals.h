#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

namespace kelvane {
class frmNavigate;
}

// The program-wide values of the application shell, beside those of model/basGlobal.h that
// the model and the drawing read. Start-up sets them; they live for the whole run on the
// user-interface thread.
namespace basGlobal {

// --- Settings owned by the shell (LoadSettings / SaveSettings) ---------------------------------

// The recently used files, index 0 the newest; "" marks an unused entry.
inline constexpr int kRecentFileCount = 4;
inline std::array<QString, kRecentFileCount> RecentFiles;

// Link display mode: 1 shows the link impacts, 0 does not.
inline qint16 LinkMode = 1;

// The knowledge server: its address, the user name and the password (kept plain in memory).
inline QString ServerURL;
inline QString ServerUsername;
inline QString ServerPassword;

// --- Start-up ------------------------------------------------------------------------------------

// Started by an automation client: the main window stays hidden and shows no introduction.
inline bool AutomationMode = false;

// The storage mode flags the macro project (1 + 8 + 16) and lower-level networks (4 + 16)
// open their storage with.
struct StorageModeFlags {
    qint32 Flag1 = 0;
    qint32 Flag4 = 0;
    qint32 Flag8 = 0;
    qint32 Flag16 = 0;
};
inline StorageModeFlags StorageFlags;

// The main window once start-up has shown it; null before and after (not owned).
inline kelvane::frmNavigate* MainWindow = nullptr;

// The path of the open document; "" before one is chosen.
inline QString DocumentPath;

// The program's data folder (help, style sheets); without a final separator.
inline QString ProgramFolder;

// The help page of the application; "" when the program has no help.
inline QString HelpFile;

// The start dialog has a choice (a file, or a document on the knowledge server).
inline bool StartChoiceMade = false;

// 1 once the main window has its document open; the knowledge base's Refresh and Status
// act only then.
inline qint16 MainWindowReady = 0;

} // namespace basGlobal
