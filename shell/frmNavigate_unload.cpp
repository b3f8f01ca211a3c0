// The main window's shutdown: the knowledge base's veto, the changed-document question, the
// placement, the consultation dialogs, then the settings.

#include "shell/frmNavigate.h"

#include "diagram/ctlPelnet.h"
#include "answercontrols/Twips.h"
#include "model/ErrorTrap.h"
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "platform/UiServices.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/SettingValues.h"
#include "shell/basSettings.h"

#include <QDialog>

namespace kelvane {

namespace {
constexpr const char* kModule = "frmNavigate";
} // namespace

bool frmNavigate::ViewerUnload()
{
    const bool mayClose = trapped(kModule, "ViewerUnload", false, [&] {
        bool cancel = false;
        knowledgeBaseHost().FireUnload(cancel);
        if (cancel)
            return false;

        // A save that fails or is cancelled keeps the window open with its changes: the macro
        // project's edits first (a save of them saves the document too), then the document's.
        if (!knowledgeBaseHost().QueryUnload() || !saveChangesFirst())
            return false;

        if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) && pos().x() > -1 && pos().y() > -1)
            settingvalues::writePlacement({twips::fromPixels(pos().x()), twips::fromPixels(pos().y()),
                                           twips::fromPixels(width()), twips::fromPixels(height())});
        return true;
    });
    if (!mayClose)
        return false;

    // The consultation's dialogs go with the window; their failures are ignored.
    for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        trappedVoid(kModule, "ViewerUnload", [&] { dialog->close(); });
    }
    return true;
}

void frmNavigate::Form_Unload(bool& Cancel)
{
    if (!ViewerUnload()) {
        Cancel = true;
        return;
    }
    basGlobal::ApplicationMode = 0;
    if (!trappedVoid(kModule, "Form_Unload", [] { basGlobal::SaveSettings(); }))
        platform::ui().messageBox(QStringLiteral("The settings could not be saved."), platform::msgbox::Exclamation,
                                  platform::applicationTitle());
    endProgram();
}

void frmNavigate::mnuFileExit_Click()
{
    close();
}

} // namespace kelvane
