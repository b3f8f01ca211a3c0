#include "shell/MainWindowConsultation.h"

#include "shell/frmNavigate.h"

namespace kelvane {

MainWindowConsultation::MainWindowConsultation(frmNavigate& window) : m_window(window), m_registration(*this) {}

QString MainWindowConsultation::Name() const { return m_window.Name(); }

bool MainWindowConsultation::Enabled() const { return m_window.isEnabled(); }

void MainWindowConsultation::setEnabled(bool enabled) { m_window.setEnabled(enabled); }

void MainWindowConsultation::SetFocus() { m_window.SetFocus(); }

ctlPelnet& MainWindowConsultation::ctlPelnet1() { return m_window.ctlPelnet1(); }

QWidget& MainWindowConsultation::widget() { return m_window; }

} // namespace kelvane
