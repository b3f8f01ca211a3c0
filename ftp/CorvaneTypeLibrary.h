#pragma once

#include "platform/automation/ClassRegistration.h"
#include "platform/automation/TypeLibrary.h"

// What the FTP control library tells the registry and its callers about its class.
namespace kelvane::ftp {

// The type library FTPLib: the dispatch interface _DFTP (properties 1 to 22), the event
// interface _DFTPEvents (events 1 to 6) and the control class FTP.
platform::automation::TypeLibraryDescription typeLibrary();

// The class FTP as the registry names it, "FTP.FTPCtrl.3": an invisible control.
platform::automation::ClassRegistration ftpRegistration();

} // namespace kelvane::ftp
