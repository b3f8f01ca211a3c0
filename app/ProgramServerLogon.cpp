#include "app/ProgramServerLogon.h"

#include "model/basLibrary.h"
#include "platform/SystemInfo.h"
#include "server/TavroClient.h"
#include "server/UpdateSpool.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"

namespace kelvane {

ProgramServerLogon::ProgramServerLogon() = default;
ProgramServerLogon::~ProgramServerLogon() = default;

TavroClient& ProgramServerLogon::Client()
{
    if (!m_client) {
        const ServerEndpoint endpoint {[] { return basGlobal::ServerURL; }, basLibrary::TempFolder,
                                       settingvalues::readText(kTrustedCertificatesKey)};
        m_client = std::make_unique<TavroClient>(endpoint, UpdateSpool::FolderIn(platform::systemInfo().tempFolder()));
        m_startDialog.emplace(m_client->Logon());
        m_mainWindow.emplace(m_client->MainWindow());
    }
    return *m_client;
}

bool ProgramServerLogon::LogOnAndChoose(ctlPelnet& diagram, AbstractProgressBar* progress)
{
    return Client().GoOnline(diagram, progress);
}

AbstractWindowServer* ProgramServerLogon::WindowServer(ServerWindow window)
{
    Client();
    return window == ServerWindow::StartDialog ? &*m_startDialog : &*m_mainWindow;
}

} // namespace kelvane
