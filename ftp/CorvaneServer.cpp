// The shared library "corvane": a self-registering in-process server of the FTP control, for
// other programs to create by class name.
#include "ftp/CorvaneTypeLibrary.h"
#include "ftp/FTPCtrl.h"
#include "platform/automation/InProcessServer.h"

namespace {

using namespace platform::automation;

const ClassServer& corvaneServer()
{
    static const ClassServer server(kelvane::ftp::typeLibrary(),
                                    {ServedClass::of<kelvane::ftp::CFTPCtrl>(kelvane::ftp::ftpRegistration())});
    return server;
}

} // namespace

KELVANE_IN_PROCESS_SERVER(corvaneServer)
