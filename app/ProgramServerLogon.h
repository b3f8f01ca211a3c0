#pragma once

#include "shell/AbstractServerLogon.h"

#include <QString>
#include <memory>

namespace kelvane {

class TavroClient;

// The start dialog's way online in the program: its one knowledge-server client, made at the
// first log-on with what start-up has set by then (the server's address from the settings, the
// run's own temporary folder for the request file and the spool of online edits, which only
// the user may read and which goes with the run). The setting "Tavro Certificate" may name a
// PEM file of certificates to trust for a server with a certificate of its own.
class ProgramServerLogon : public AbstractServerLogon {
public:
    ProgramServerLogon();
    ~ProgramServerLogon() override;

    bool Available() override { return true; }
    bool LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress) override;

    static inline const QString kTrustedCertificatesKey = QStringLiteral("Tavro Certificate");

private:
    std::unique_ptr<TavroClient> m_client;
};

} // namespace kelvane
