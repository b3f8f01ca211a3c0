#pragma once

#include "app/ProgramWindowServer.h"
#include "shell/AbstractServerLogon.h"

#include <QString>
#include <memory>
#include <optional>

namespace kelvane {

class TavroClient;

// The program's knowledge-server client as the shell's windows reach it, made at the first use
// with what start-up has set by then (the server's address from the settings, the run's own
// temporary folder for the request files). The spool of online edits lies in the user's own
// folder in the temporary folder, which lasts from run to run (UpdateSpool::FolderIn). The
// setting "Tavro Certificate" may name a PEM file of certificates to trust for a server with a
// certificate of its own.
class ProgramServerLogon : public AbstractServerLogon {
public:
    ProgramServerLogon();
    ~ProgramServerLogon() override;

    bool Available() override { return true; }
    bool LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress) override;
    AbstractWindowServer* WindowServer(ServerWindow window) override;

    // The client, made now if need be.
    TavroClient& Client();

    static inline const QString kTrustedCertificatesKey = QStringLiteral("Tavro Certificate");

private:
    std::unique_ptr<TavroClient> m_client;
    std::optional<ProgramWindowServer> m_startDialog;
    std::optional<ProgramWindowServer> m_mainWindow;
};

} // namespace kelvane
