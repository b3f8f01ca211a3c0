#include "automation/MainWindowAdapter.h"

#include "answercontrols/Twips.h"
#include "diagram/ctlPelnet.h"
#include "platform/RuntimeError.h"
#include "shell/StatusBarControl.h"
#include "shell/frmNavigate.h"

#include <QLabel>

namespace kelvane {

MainWindowAdapter::MainWindowAdapter(frmNavigate& window) : m_window(&window) {}

frmNavigate& MainWindowAdapter::window() const
{
    if (!m_window)
        raiseError(err::ObjectNotSet);
    return *m_window;
}

ctlPelnet& MainWindowAdapter::ctlPelnet1() { return window().ctlPelnet1(); }

AbstractProgressBar* MainWindowAdapter::ProgressBar1() { return m_window ? m_window->ProgressBar1() : nullptr; }

QWidget& MainWindowAdapter::widget() { return window(); }

QString MainWindowAdapter::StatusText()
{
    return m_window ? m_window->sbStatusBar()->Panel(1)->text() : QString();
}

void MainWindowAdapter::setStatusText(const QString& text)
{
    if (m_window)
        m_window->sbStatusBar()->Panel(1)->setText(text);
}

void MainWindowAdapter::showAt(const QRect& twips)
{
    if (!m_window)
        return;
    m_window->showNormal();
    m_window->setGeometry(twips::toPixels(twips.left()), twips::toPixels(twips.top()), twips::toPixels(twips.width()),
                          twips::toPixels(twips.height()));
    m_window->show();
}

void MainWindowAdapter::hide()
{
    if (m_window)
        m_window->hide();
}

void MainWindowAdapter::PopulateToolsMenu()
{
    if (m_window)
        m_window->PopulateToolsMenu();
}

void MainWindowAdapter::PopulateReportsMenu()
{
    if (m_window)
        m_window->PopulateReportsMenu();
}

void MainWindowAdapter::Unload()
{
    if (m_window)
        m_window->close();
}

bool MainWindowAdapter::loading() const
{
    return m_window && m_window->Loading();
}

bool MainWindowAdapter::unloaded() const
{
    return !m_window || m_window->Unloaded();
}

bool MainWindowAdapter::SaveDocument()
{
    return m_window && m_window->mnuFileSave_Click();
}

bool MainWindowAdapter::SaveDocumentAs(const QString& fileName)
{
    return m_window && m_window->SaveDocumentAs(fileName);
}

} // namespace kelvane
