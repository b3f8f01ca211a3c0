// Edit snapshots on the shared clipboard, the toolbar notice, the undo levels, and the server
// update of an edit the network operations do not send themselves.

#include "diagram/ctlPelnet.h"

#include "diagram/AbstractParentForm.h"
#include "diagram/CurrentUndoLevel.h"
#include "diagram/DiagramSupport.h"
#include "diagram/clsClipboard.h"
#include "model/ErrorTrap.h"

namespace kelvane {

using namespace diagramsupport;

bool ctlPelnet::Change()
{
    return trapped(kModule, "Change", false, [&] {
        const auto shown = ActiveNetwork();
        auto snapshot = std::make_shared<clsAction>();
        snapshot->action = clipboardentry::Snapshot;
        snapshot->ObjectType = clipboardentry::Network;
        // The copy keeps the network's and the nodes' GUIDs.
        snapshot->OriginalObject = Variant::fromObject(requireObject(shown->Clone(false)));
        snapshot->NetworkGUID = shown->GUID();
        const auto clipboard = sharedClipboard();
        clipboard->Actions.Add(std::move(snapshot));
        clipboard->CheckLimit();
        shown->setDirty(true);
        UpdateToolbar();
        return true;
    });
}

void ctlPelnet::UpdateToolbar()
{
    try {
        if (ParentForm)
            ParentForm->UpdateToolbar();
    } catch (...) {
        // A host that cannot update its toolbar simply gets no notice.
    }
}

void ctlPelnet::sendEditToServer()
{
    if (!Loaded || !Connected)
        return;
    const QString text = QStringLiteral("<kelvanenetwork>\r\n") + requireObject(Networks.Item(m_networkIndex))->SerializeOutXML()
                         + QStringLiteral("</kelvanenetwork>\r\n");
    ServerUpdate(Network()->GUID(), text, QString());
}

bool ctlPelnet::IncreaseUndoLevel()
{
    return trapped(kModule, "IncreaseUndoLevel", false, [&] {
        AddedHistory.Add(CurrentUndoLevel::AddedItems);
        DeletedHistory.Add(CurrentUndoLevel::DeletedItems);
        CurrentUndoLevel::AddedItems = std::make_shared<UndoItems>();
        CurrentUndoLevel::DeletedItems = std::make_shared<UndoItems>();
        return false;
    });
}

} // namespace kelvane
