#include "consult/AbstractMainWindow.h"

#include "platform/RuntimeError.h"

namespace kelvane {

namespace {

AbstractMainWindow* g_mainWindow = nullptr;

} // namespace

AbstractMainWindow& mainWindow()
{
    if (!g_mainWindow)
        raiseError(err::ObjectNotSet);
    return *g_mainWindow;
}

MainWindowRegistration::MainWindowRegistration(AbstractMainWindow& window) : m_previous(g_mainWindow)
{
    g_mainWindow = &window;
}

MainWindowRegistration::~MainWindowRegistration() { g_mainWindow = m_previous; }

} // namespace kelvane
