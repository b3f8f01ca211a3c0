#include "app/ProgramServerLogon.h"

#include "model/basLibrary.h"
#include "server/TavroClient.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"

namespace kelvane {

ProgramServerLogon::ProgramServerLogon() = default;
ProgramServerLogon::~ProgramServerLogon() = default;

bool ProgramServerLogon::LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress)
{
    if (!m_client) {
        const ServerEndpoint endpoint {[] { return basGlobal::ServerURL; }, basLibrary::TempFolder,
                                       settingvalues::readText(kTrustedCertificatesKey)};
        m_client = std::make_unique<TavroClient>(endpoint, basLibrary::TempFolder);
    }
    return m_client->GoOnline(diagram, progress);
}

} // namespace kelvane
