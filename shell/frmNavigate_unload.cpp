// The main window's shutdown: the knowledge base's veto, the changed-document question, the
// consultation dialogs, then the settings with the placement, in one write of the settings file.

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

// The window's placement in twips, to store when the window is neither minimised nor maximised
// and its left and top edges lie right of and below -1; nothing keeps the stored one.
std::optional<settingvalues::Placement> placementToStore(const QWidget& window)
{
    if (window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized) || window.pos().x() <= -1
        || window.pos().y() <= -1)
        return std::nullopt;
    return settingvalues::Placement {twips::fromPixels(window.pos().x()), twips::fromPixels(window.pos().y()),
                                     twips::fromPixels(window.width()), twips::fromPixels(window.height())};
}

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
        return knowledgeBaseHost().QueryUnload() && saveChangesFirst();
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
    const bool saved = trappedVoid(kModule, "Form_Unload", [this] {
        QList<platform::StoredSetting> settings = basGlobal::SettingsToSave();
        if (const auto placement = placementToStore(*this))
            settings += settingvalues::placementValues(*placement);
        settingvalues::writeValues(settings);
    });
    if (!saved)
        platform::ui().messageBox(QStringLiteral("The settings could not be saved."), platform::msgbox::Exclamation,
                                  platform::applicationTitle());
    endProgram();
}

void frmNavigate::mnuFileExit_Click()
{
    close();
}

} // namespace kelvane
