// The Reports menu, the report pane, and the dialogs behind Help > About, View > Options and
// File > Properties.

#include "shell/frmNavigate.h"

namespace kelvane {

// The Reports menu lists the style sheets of the program folder and the macro project's
// report menu items; without them it stays hidden.
bool frmNavigate::PopulateReportsMenu()
{
    return true;
}

void frmNavigate::DrawReportTree() {}

void frmNavigate::PrintReportTree() {}

void frmNavigate::RunReportNamed(const QString&) {}

void frmNavigate::mnuHelpAbout_Click() {}

void frmNavigate::mnuViewReportProperties_Click() {}

void frmNavigate::mnuFileProperties_Click() {}

} // namespace kelvane
