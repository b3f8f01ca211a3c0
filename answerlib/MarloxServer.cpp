// The shared library "marlox": a self-registering in-process server of the answer controls
// Slider and Fuzzy, for other programs to create by class name.
#include "answercontrols/Fuzzy.h"
#include "answercontrols/Slider.h"
#include "answerlib/MarloxTypeLibrary.h"
#include "platform/FontDescription.h"
#include "platform/automation/InProcessServer.h"

namespace {

using namespace platform::automation;

// The library has no program-wide default font name: a font name an option refuses becomes
// the fixed one.
std::unique_ptr<QObject> newFuzzy()
{
    auto fuzzy = std::make_unique<kelvane::Fuzzy>(nullptr, [] { return platform::FontDescription().name; });
    fuzzy->InitProperties();
    return fuzzy;
}

const ClassServer& marloxServer()
{
    static const ClassServer server(
        kelvane::marlox::typeLibrary(),
        {ServedClass::of<kelvane::Slider>(kelvane::marlox::sliderRegistration()),
         ServedClass {kelvane::marlox::fuzzyRegistration(), &kelvane::Fuzzy::staticMetaObject, newFuzzy}});
    return server;
}

} // namespace

KELVANE_IN_PROCESS_SERVER(marloxServer)
