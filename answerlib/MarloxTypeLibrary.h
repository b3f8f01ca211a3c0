#pragma once

#include "platform/automation/ClassRegistration.h"
#include "platform/automation/TypeLibrary.h"

// What the answer-controls library tells the registry and its callers about its two classes.
namespace kelvane::marlox {

// The type library "Marlox" 2.0: the interfaces _Slider and _Fuzzy with their fixed dispatch
// identifiers, their event interfaces __Slider and __Fuzzy, and the control classes Slider
// and Fuzzy.
platform::automation::TypeLibraryDescription typeLibrary();

// The classes as the registry names them, "Marlox.Slider" and "Marlox.Fuzzy": controls, each
// with its toolbox picture.
platform::automation::ClassRegistration sliderRegistration();
platform::automation::ClassRegistration fuzzyRegistration();

} // namespace kelvane::marlox
