#pragma once

#include "consult/AbstractMainWindow.h"

namespace kelvane {

class frmNavigate;

// The main window as the consultation reaches it, registered as the program's main window
// for as long as the window exists.
class MainWindowConsultation : public AbstractMainWindow {
public:
    explicit MainWindowConsultation(frmNavigate& window);

    QString Name() const override;
    bool Enabled() const override;
    void setEnabled(bool enabled) override;
    void SetFocus() override;
    ctlPelnet& ctlPelnet1() override;
    QWidget& widget() override;

private:
    frmNavigate& m_window;
    MainWindowRegistration m_registration;
};

} // namespace kelvane
