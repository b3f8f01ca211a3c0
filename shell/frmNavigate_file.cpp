// The File commands that replace or save the open document.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "model/ErrorTrap.h"
#include "network/clsNetwork.h"
#include "platform/UiServices.h"
#include "shell/ProgressBarControl.h"

namespace kelvane {

namespace {
constexpr const char* kModule = "frmNavigate";
}

// Opening another document (New, Open, a recently-used entry) and Save As are not offered yet:
// their tools do nothing, and Save without a file name saves nothing.

void frmNavigate::mnuFileNew_Click() {}

void frmNavigate::mnuFileOpen_Click() {}

void frmNavigate::mnuFileMRU_Click(int) {}

bool frmNavigate::mnuFileSaveAs_Click()
{
    return false;
}

bool frmNavigate::mnuFileSave_Click()
{
    return trapped(kModule, "mnuFileSave_Click", false, [&] {
        const QString fileName = m_ctlPelnet1->Network()->FileName();
        if (fileName.isEmpty())
            return mnuFileSaveAs_Click();
        if (m_ctlPelnet1->FileSave(m_ProgressBar1))
            return true;
        platform::ui().messageBox(QStringLiteral("An error occurred saving ") + fileName + u'\r',
                                  platform::msgbox::Exclamation, platform::applicationTitle());
        return false;
    });
}

} // namespace kelvane
