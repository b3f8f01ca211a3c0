// The recently-used list: four files, newest first, kept in the settings and shown as the
// numbered entries of the File menu.

#include "shell/frmNavigate.h"

#include "model/ErrorTrap.h"
#include "model/basLibrary.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBands.h"

#include <QAction>

namespace kelvane {

void frmNavigate::UpdateMRU(const QString& FileName)
{
    trappedVoid("frmNavigate", "UpdateMRU", [&] {
        auto& list = basGlobal::RecentFiles;
        bool found = std::find(list.begin(), list.end(), FileName) != list.end();
        for (int i = basGlobal::kRecentFileCount - 1; i >= 0; --i) {
            auto& entry = list[std::size_t(i)];
            if (i == 0) {
                entry = FileName;
            } else if (!found) {
                entry = list[std::size_t(i - 1)];
            } else if (entry == FileName) {
                // The file's old place takes the entry above; the entries below it stay.
                entry = list[std::size_t(i - 1)];
                found = false;
            }
        }
        updateRecentFileTools();
    });
}

void frmNavigate::mnuFile_Click()
{
    trappedVoid("frmNavigate", "mnuFile_Click", [&] { updateRecentFileTools(); });
}

// Each used entry shows "&<n> " and its path relative to the program folder; unused entries,
// and the separator above them when the list is empty, are hidden.
void frmNavigate::updateRecentFileTools()
{
    for (int i = 0; i < basGlobal::kRecentFileCount; ++i) {
        QAction* tool = m_tools->Tool(QStringLiteral("MRU") + QString::number(i + 1));
        if (!tool)
            continue;
        const bool used = !basLibrary::FileNameOfPath(basGlobal::RecentFiles[std::size_t(i)]).isEmpty();
        if (used)
            tool->setText(recentFileCaption(i));
        tool->setVisible(used);
    }
    if (m_mnuFileBar4)
        m_mnuFileBar4->setVisible(!basGlobal::RecentFiles[0].isEmpty());
}

} // namespace kelvane
