// Reads the input as a control's saved properties, as a container loads a saved form: the text
// form of the property bag, then the HTTPS control, the FTP control or the answer control
// (chosen by the first byte) loads the bag, saves itself, and a new control of the kind loads
// that and saves again. The text form reads back as it was written, and what a control saved
// comes back the same from a control that loaded it.
#include "FuzzSupport.h"

#include "answercontrols/Fuzzy.h"
#include "ftp/FTPCtrl.h"
#include "https/HTTPS.h"
#include "platform/RuntimeError.h"
#include "platform/automation/PropertyBag.h"

namespace {

using platform::automation::PropertyBag;

// What a control of the kind saves after loading `bag`.
template <class Control>
QString savedAfterLoading(const PropertyBag& bag)
{
    Control control;
    try {
        control.ReadProperties(bag);
    } catch (const kelvane::RuntimeError&) {
        // A value the control refuses ends the load; what was read stays.
    }
    PropertyBag saved;
    control.WriteProperties(saved);
    const QString text = saved.toText();
    fuzz::require(PropertyBag::fromText(text).toText() == text, "the saved properties do not read back as written");
    return text;
}

template <class Control>
void roundTrip(const PropertyBag& bag)
{
    const QString once = savedAfterLoading<Control>(bag);
    const QString twice = savedAfterLoading<Control>(PropertyBag::fromText(once));
    fuzz::require(once == twice, "a control that loads saved properties saves other ones");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString text = QString::fromUtf8(fuzz::bytesOf(data + 1, size - 1));
    PropertyBag bag;
    try {
        bag = PropertyBag::fromText(text);
    } catch (const kelvane::RuntimeError&) {
        return 0; // refused, naming the line
    }
    fuzz::require(PropertyBag::fromText(bag.toText()).toText() == bag.toText(), "a property bag does not read back as written");
    switch (data[0] % 3) {
    case 0:
        roundTrip<kelvane::plexant::HTTPS>(bag);
        break;
    case 1:
        roundTrip<kelvane::ftp::CFTPCtrl>(bag);
        break;
    default:
        roundTrip<kelvane::Fuzzy>(bag);
        break;
    }
    return 0;
}
