#pragma once

#include "automation/AutomationHost.h"

#include <QString>

namespace kelvane {

// The services the program runs with, installed for its whole run: the program folder's
// system information, the desktop's message boxes (with the password prompts) and file
// dialogs, the knowledge-server log-on, and the automation of the open knowledge base with
// the program's classes entered in the registry. Made once, after the application object.
class ProgramServices {
public:
    // `programFolder` as the command line chose it; empty for the folder found beside the program.
    explicit ProgramServices(const QString& programFolder);
    ProgramServices(const ProgramServices&) = delete;
    ProgramServices& operator=(const ProgramServices&) = delete;

    AutomationHost& automationHost() const { return m_automation.host(); }

private:
    struct Platform {
        explicit Platform(const QString& programFolder);
    };
    Platform m_platform; // before the automation, which builds on the message boxes installed
    AutomationInstallation m_automation;
};

} // namespace kelvane
