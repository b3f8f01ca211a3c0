#pragma once

#include "platform/Service.h"

#include <memory>

namespace kelvane {

class AbstractProgressBar;
class AbstractWindowServer;
class ctlPelnet;

// The windows that carry knowledge-server procedures of their own.
enum class ServerWindow { StartDialog, MainWindow };

// The start dialog's way online: log on to the knowledge server, let the user pick a knowledge
// base there and read it into the diagram control. The knowledge-server client installs its
// implementation as the service below; until it does, the program has no way online and the
// start dialog's Online button stays disabled.
class AbstractServerLogon {
public:
    virtual ~AbstractServerLogon() = default;

    // A knowledge-server client is present.
    virtual bool Available() = 0;

    // Logs on with the stored server settings, shows the server's folders for a choice and reads
    // the chosen knowledge base into `diagram` (which is then Connected). False when the log-on
    // failed (the user has been told why) or the folders were closed without a choice.
    virtual bool LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress) = 0;

    // The server procedures of that window; null without a knowledge-server client.
    virtual AbstractWindowServer* WindowServer(ServerWindow window) = 0;
};

class NoServerLogon : public AbstractServerLogon {
public:
    bool Available() override { return false; }
    bool LogOnAndChoose(ctlPelnet&, AbstractProgressBar*) override { return false; }
    AbstractWindowServer* WindowServer(ServerWindow) override { return nullptr; }
};

} // namespace kelvane

template <>
struct platform::ServiceDefault<kelvane::AbstractServerLogon> {
    static std::unique_ptr<kelvane::AbstractServerLogon> create() { return std::make_unique<kelvane::NoServerLogon>(); }
};

namespace kelvane {

inline AbstractServerLogon& serverLogon()
{
    return platform::Service<AbstractServerLogon>::get();
}

} // namespace kelvane
