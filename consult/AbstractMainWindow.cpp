#include "consult/AbstractMainWindow.h"

#include "platform/RuntimeError.h"

#include <algorithm>
#include <vector>

namespace kelvane {

namespace {

// The registered main windows, the newest last; the newest is the program's main window.
std::vector<AbstractMainWindow*>& registered()
{
    static std::vector<AbstractMainWindow*> windows;
    return windows;
}

} // namespace

AbstractMainWindow& mainWindow()
{
    if (registered().empty())
        raiseError(err::ObjectNotSet);
    return *registered().back();
}

MainWindowRegistration::MainWindowRegistration(AbstractMainWindow& window) : m_window(window)
{
    registered().push_back(&window);
}

MainWindowRegistration::~MainWindowRegistration()
{
    auto& windows = registered();
    windows.erase(std::find(windows.begin(), windows.end(), &m_window));
}

} // namespace kelvane
