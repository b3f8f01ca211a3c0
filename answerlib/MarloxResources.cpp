#include "answerlib/MarloxResources.h"

#include "answerlib/MarloxTypeLibrary.h"

namespace kelvane::marlox {

namespace {

// A slider: groove, ticks on both sides and the thumb.
const char* const kSliderPicture[] = {
    "16 15 4 1",        ". c #C0C0C0",      "d c #808080",      "k c #000000",      "w c #FFFFFF",
    "................", ".......dw.......", "...kk..dw..kk...", ".......dw.......", ".......dw.......",
    "....wwwwwwwk....", "...kw.....dkk...", "....wdddddddk...", ".....kkkkkkkk...", ".......dw.......",
    ".......dw.......", "...kk..dw..kk...", ".......dw.......", "................", "................",
};

// A small slider beside three answer options.
const char* const kFuzzyPicture[] = {
    "16 15 4 1",        ". c #C0C0C0",      "d c #808080",      "k c #000000",      "w c #FFFFFF",
    "................", "..dw............", ".kdwk..dd..kkkk.", "..dw..dwwk......", "..dw...kk.......",
    ".wwwk...........", ".wddk..dd..kkkk.", ".kkkk.dwwk......", "..dw...kk.......", "..dw............",
    ".kdwk..dd..kkkk.", "..dw..dwwk......", "..dw...kk.......", "................", "................",
};

} // namespace

QUuid identifierResource(const QString& name)
{
    const char* interfaceName = nullptr;
    if (name == QLatin1String("_IID_SLIDER"))
        interfaceName = "_Slider";
    else if (name == QLatin1String("_IID_FUZZY"))
        interfaceName = "_Fuzzy";
    else if (name == QLatin1String("_SRCIID_SLIDER"))
        interfaceName = "__Slider";
    else if (name == QLatin1String("_SRCIID_FUZZY"))
        interfaceName = "__Fuzzy";
    if (!interfaceName)
        return {};
    const auto library = typeLibrary();
    return library.findInterface(QString::fromLatin1(interfaceName))->id;
}

QImage toolboxImage(int resourceNumber)
{
    switch (resourceNumber) {
    case kSliderToolboxImage: return QImage(kSliderPicture);
    case kFuzzyToolboxImage: return QImage(kFuzzyPicture);
    default: return {};
    }
}

VersionInfo versionInfo()
{
    return {QStringLiteral("1.00"), QStringLiteral("Marlox"), QStringLiteral("Marlox"), QStringLiteral("libmarlox.so"),
            true};
}

} // namespace kelvane::marlox
