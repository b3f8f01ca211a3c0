#pragma once

#include "automation/KnowledgeBaseService.h"

#include <QDBusConnection>
#include <memory>

namespace kelvane {

class ApplicationService;
class AutomationHost;
class BusClients;
class EditorService;

// The program as an automation server on a bus: the live KnowledgeBase at /KnowledgeBase with
// the objects it hands out below it, the application object at /Application and its editor at
// /Application/VBE, and the objects made for clients below /Objects (see BusObjectTree), under
// the service name org.kelvane.Kelvane, for as long as this object lives.
class AutomationService {
public:
    AutomationService(AutomationHost& host, QDBusConnection connection,
                      std::chrono::milliseconds sinkTimeLimit = KnowledgeBaseService::kDefaultSinkTimeLimit);
    ~AutomationService();
    AutomationService(const AutomationService&) = delete;
    AutomationService& operator=(const AutomationService&) = delete;

    // False, with the reason logged, when the objects or the name could not be registered (no
    // bus, or another program holds the name).
    bool registered() const { return m_registered; }

    // From now on the program ends once its last client has left the bus (and no other came
    // within a few seconds), when its main window was never shown to the user: no one could
    // reach it any more. It ends through its shutdown (the Unload event); what that leaves
    // unsaved, nobody being there to be asked, is let go.
    void endProgramWhenLeftAlone();

private:
    AutomationHost& m_host;
    QDBusConnection m_connection;
    std::unique_ptr<BusClients> m_clients;
    std::unique_ptr<QObject> m_endWhenLeftAlone;
    std::unique_ptr<KnowledgeBaseService> m_knowledgeBase;
    std::unique_ptr<ApplicationService> m_application;
    std::unique_ptr<EditorService> m_editor;
    bool m_registered = false;
};

} // namespace kelvane
