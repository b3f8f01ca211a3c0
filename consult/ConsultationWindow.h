#pragma once

#include <QString>

namespace kelvane {

// A window a consultation is called from and returns to: the main window or a
// preconditions dialog. The consultation tells them apart by Name ("frmNavigate",
// "frmPreconditions").
class ConsultationWindow {
public:
    virtual ~ConsultationWindow() = default;
    virtual QString Name() const = 0;
};

} // namespace kelvane
