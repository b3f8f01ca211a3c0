#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

namespace kelvane {

class AutomationHost;

// The program's shutdown (closing the main window) as the knowledge base asks for it (Quit,
// CloseFile). Closing the window closes the consultation's dialogs and lets go of the
// document, so it never runs where code that uses them is still under way: inside an event of
// the knowledge base, a yield to the message loop, a nested loop (a modal dialog, a wait for an
// event sink) or the main window's load. It waits for them to return.
class ShutdownRequest : public QObject {
    Q_OBJECT

public:
    // Told once the shutdown ran: whether the program ended, and the messages the hidden program
    // did not show meanwhile.
    using Done = std::function<void(bool ended, const QStringList& unshown)>;
    enum class When {
        Later,        // once the caller has returned, at the earliest
        AsSoonAsSafe, // at once when nothing is under way
    };

    explicit ShutdownRequest(AutomationHost& host);

    void request(Done done, When when);
    // Nothing is under way that the shutdown must wait for.
    bool safe() const;

private:
    void attempt();
    void run();

    AutomationHost& m_host;
    QTimer m_retry;
    std::vector<Done> m_waiting;
};

} // namespace kelvane
