#pragma once

#include "app/ProgramServerLogon.h"
#include "automation/AutomationHost.h"
#include "forms/PasswordPromptUiServices.h"
#include "platform/FileDialogs.h"
#include "platform/Service.h"
#include "platform/SystemInfo.h"
#include "platform/gui/QtFileDialogs.h"
#include "shell/ProgramFolder.h"

#include <QString>

namespace kelvane {

// The services the program runs with, installed for as long as this object lives: the program
// folder's system information, the desktop's message boxes (with the password prompts) and file
// dialogs, the knowledge-server log-on, and the automation of the open knowledge base with the
// program's classes entered in the registry. Made once, after the application object, and let go
// before it: the log-on owns sockets whose notifications pass through the thread's message queue.
class ProgramServices {
public:
    // `programFolder` as the command line chose it; empty for the folder found beside the program.
    explicit ProgramServices(const QString& programFolder);
    ProgramServices(const ProgramServices&) = delete;
    ProgramServices& operator=(const ProgramServices&) = delete;

    AutomationHost& automationHost() const { return m_automation.host(); }

private:
    platform::ScopedService<platform::SystemInfo, ProgramSystemInfo> m_systemInfo;
    platform::ScopedService<platform::UiServices, PasswordPromptUiServices> m_uiServices;
    platform::ScopedService<platform::FileDialogs, platform::gui::QtFileDialogs> m_fileDialogs;
    platform::ScopedService<AbstractServerLogon, ProgramServerLogon> m_serverLogon;
    AutomationInstallation m_automation; // builds on the message boxes installed above
};

} // namespace kelvane
