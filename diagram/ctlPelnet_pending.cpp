#include "diagram/ctlPelnet.h"

#include "network/clsNetwork.h"
#include "model/Node.h"

namespace kelvane {

bool ctlPelnet::CreateOverview() { return false; }
void ctlPelnet::ViewOverview() {}
bool ctlPelnet::CreateComplete() { return false; }
void ctlPelnet::ViewCompleteView() {}
bool ctlPelnet::FileOpen(AbstractProgressBar*, bool) { return false; }
void ctlPelnet::ServerDisconnect() {}
bool ctlPelnet::ServerConnect(const QString&, AbstractProgressBar*, bool) { return false; }
bool ctlPelnet::FileSave(AbstractProgressBar*) { return false; }
bool ctlPelnet::LowerLevelNetworksOpen(QString&, bool, const std::shared_ptr<clsNetwork>&, AbstractProgressBar*) { return false; }
bool ctlPelnet::LowerLevelNetworksRestore(platform::RootStorage&, const std::shared_ptr<clsNetwork>&, AbstractProgressBar*, bool) { return false; }
bool ctlPelnet::LowerLevelNetworksSave(DocumentOutput&, const std::shared_ptr<clsNetwork>&, AbstractProgressBar*) { return false; }
bool ctlPelnet::LowerLevelNetworksStore(platform::RootStorage&, const std::shared_ptr<clsNetwork>&, AbstractProgressBar*) { return false; }
bool ctlPelnet::LowerLevelNetworkFind(const std::shared_ptr<Node>&) { return false; }
bool ctlPelnet::LowerLevelNodeOpen(QString&, bool, const std::shared_ptr<Node>&, AbstractProgressBar*) { return false; }
bool ctlPelnet::LowerLevelNodeRestore(platform::RootStorage&, const std::shared_ptr<Node>&, AbstractProgressBar*, bool) { return false; }
void ctlPelnet::linkToLowerLevel(const std::shared_ptr<Node>&, const std::shared_ptr<clsNetwork>&) {}

} // namespace kelvane
