// A click on a node in the diagram starts a consultation.

#include "shell/frmNavigate.h"

#include "model/ErrorTrap.h"
#include "model/Node.h"
#include "platform/UiServices.h"

namespace kelvane {

// The window takes no input while the consultation's dialogs are open; the consultation
// enables it again when it is done. The shown pane is redrawn once the first step returns.
void frmNavigate::ctlPelnet1_Click(const std::shared_ptr<Node>& Node1)
{
    trappedVoid("frmNavigate", "ctlPelnet1_Click", [&] {
        platform::ui().yield();
        setEnabled(false);
        // No consultation is connected to the diagram yet: the window takes input again.
        setEnabled(true);
        DrawDisplay();
        SetFocus();
    });
}

} // namespace kelvane
