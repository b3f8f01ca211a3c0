#pragma once

#include "platform/automation/ClassRegistration.h"
#include "platform/automation/TypeLibrary.h"

// What the HTTPS control library tells the registry and its callers about its one class.
namespace kelvane::plexant {

// The type library "HTTPSLib": the dual interface IHTTPS with its 65 properties and 9
// methods, the event interface _IHTTPSEvents, and the control class HTTPS; every member
// with its help context in the help file "netbrookssl.chm".
platform::automation::TypeLibraryDescription typeLibrary();

// The class as the registry names it: "NetbrookSSL.HTTPS.1", with "NetbrookSSL.HTTPS" and
// "NetbrookSSL5.HTTPS" pointing at it; an apartment-threaded control, safe for scripting and
// initialisation, with its toolbox picture.
platform::automation::ClassRegistration httpsRegistration();

// The toolbox picture: 16 x 15 pixels.
inline constexpr int kToolboxImage = 101;

} // namespace kelvane::plexant
