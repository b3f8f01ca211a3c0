// A click on a node in the diagram starts a consultation.

#include "shell/frmNavigate.h"

#include "consult/ConsultationFlow.h"
#include "model/ErrorTrap.h"
#include "model/Node.h"
#include "platform/UiServices.h"
#include "shell/MainWindowConsultation.h"

#include <QScopedValueRollback>

namespace kelvane {

// The window takes no input while the consultation's dialogs are open; the consultation
// enables it again when it is done. The shown pane is redrawn once the first step returns.
// A second click that arrives while the first is handed over (the window yields first)
// starts nothing.
void frmNavigate::ctlPelnet1_Click(const std::shared_ptr<Node>& Node1)
{
    if (m_consultationStarting)
        return;
    const QScopedValueRollback starting(m_consultationStarting, true);
    const bool handedOver = trappedVoid("frmNavigate", "ctlPelnet1_Click", [&] {
        platform::ui().yield();
        setEnabled(false);
        basKelva::HandleViewerNodeClickEvents(Node1, m_consultation.get());
        DrawDisplay();
        // A dialog the consultation opened keeps the focus.
        if (isEnabled())
            SetFocus();
    });
    if (!handedOver)
        basKelva::EnableMainWindowWhenIdle();
}

} // namespace kelvane
