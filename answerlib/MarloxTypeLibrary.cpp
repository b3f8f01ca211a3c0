#include "answerlib/MarloxTypeLibrary.h"

#include "answerlib/MarloxResources.h"

namespace kelvane::marlox {

using namespace platform::automation;

namespace {

QUuid id(const char16_t* text) { return QUuid::fromString(QStringView(text)); }

// Members of the user-control interfaces carry identifiers from 0x68030000 up, the last
// declared lowest.
constexpr DispId kControlMember = 0x68030000;

InterfaceDescription controlInterface(QString name, QUuid interfaceId, QList<MemberDescription> members)
{
    return InterfaceDescription {.name = std::move(name),
                                 .id = interfaceId,
                                 .dual = true,
                                 .hidden = true,
                                 .nonExtensible = true,
                                 .members = std::move(members)};
}

InterfaceDescription eventInterface(QString name, QUuid interfaceId)
{
    return InterfaceDescription {.name = std::move(name),
                                 .id = interfaceId,
                                 .events = true,
                                 .hidden = true,
                                 .nonExtensible = true,
                                 .members = {eventMember(QStringLiteral("ValueChange"), 1)}};
}

ClassDescription controlClass(QString name, QUuid classId, QString members, QString events)
{
    return ClassDescription {.name = std::move(name),
                             .id = classId,
                             .defaultInterface = std::move(members),
                             .eventInterface = std::move(events),
                             .control = true};
}

MemberDescription fontMember(const char* name, DispId offset, ValueType type, const char* helpString)
{
    return propertyMember(QString::fromLatin1(name), kControlMember + offset, type, Access::ReadWrite, {},
                          QString::fromLatin1(helpString));
}

ClassRegistration controlRegistration(QString className, int toolboxPicture)
{
    ClassRegistration registration;
    registration.progId = QStringLiteral("Marlox.") + className;
    registration.className = std::move(className);
    registration.toolboxBitmap = toolboxPicture;
    registration.markerKeys = {QStringLiteral("Control")};
    return registration;
}

} // namespace

TypeLibraryDescription typeLibrary()
{
    const InterfaceDescription slider = controlInterface(
        QStringLiteral("_Slider"), id(u"{2AD46F2D-F816-4A72-B150-B24A8AA2455F}"),
        {propertyMember(QStringLiteral("Value"), DefaultMember, ValueType::Double),
         propertyMember(QStringLiteral("Enabled"), kControlMember, ValueType::Boolean)});

    const InterfaceDescription fuzzy = controlInterface(
        QStringLiteral("_Fuzzy"), id(u"{158C165F-2C70-4012-84F4-EAA46F7CF21F}"),
        {propertyMember(QStringLiteral("Label"), 0x40030000, ValueType::Boolean),
         propertyMember(QStringLiteral("Options"), kControlMember + 0xC, ValueType::Integer),
         propertyMember(QStringLiteral("OptionIndex"), kControlMember + 0xB, ValueType::Integer),
         propertyMember(QStringLiteral("Value"), kControlMember + 0xA, ValueType::Double),
         propertyMember(QStringLiteral("Enabled"), kControlMember + 0x9, ValueType::Boolean),
         propertyMember(QStringLiteral("Caption"), kControlMember + 0x8, ValueType::String),
         fontMember("FontBold", 0x7, ValueType::Boolean, "Returns/sets bold font styles."),
         fontMember("FontItalic", 0x6, ValueType::Boolean, "Returns/sets italic font styles."),
         fontMember("FontName", 0x5, ValueType::String,
                    "Specifies the name of the font that appears in each row for the given level."),
         fontMember("FontSize", 0x4, ValueType::Single,
                    "Specifies the size (in points) of the font that appears in each row for the given level."),
         fontMember("FontStrikethru", 0x3, ValueType::Boolean, "Returns/sets strikethrough font styles."),
         fontMember("FontTransparent", 0x2, ValueType::Boolean,
                    "Returns/sets a value that determines whether background text/graphics on a Form, Printer or "
                    "PictureBox are displayed."),
         fontMember("FontUnderline", 0x1, ValueType::Boolean, "Returns/sets underline font styles."),
         fontMember("ForeColor", 0x0, ValueType::Colour,
                    "Returns/sets the foreground color used to display text and graphics in an object.")});

    return TypeLibraryDescription {
        .name = QStringLiteral("Marlox"),
        .id = id(u"{BD652D2F-9D1C-4361-A214-1FF112751EC3}"),
        .majorVersion = 2,
        .minorVersion = 0,
        .helpString = QStringLiteral("Marlox"),
        .interfaces = {slider, eventInterface(QStringLiteral("__Slider"), id(u"{AEE646C0-8908-4406-9111-9CEDAB7773A0}")),
                       fuzzy, eventInterface(QStringLiteral("__Fuzzy"), id(u"{F6ED9EC2-6DC1-4B29-BFA4-FE17C6DC8858}"))},
        .classes = {controlClass(QStringLiteral("Slider"), id(u"{5AEA9B3C-DCBE-4BBB-A210-69EA887BBFA4}"),
                                 QStringLiteral("_Slider"), QStringLiteral("__Slider")),
                    controlClass(QStringLiteral("Fuzzy"), id(u"{14EDCA70-009F-4DAA-95C8-4E0B582D184F}"),
                                 QStringLiteral("_Fuzzy"), QStringLiteral("__Fuzzy"))}};
}

ClassRegistration sliderRegistration() { return controlRegistration(QStringLiteral("Slider"), kSliderToolboxImage); }

ClassRegistration fuzzyRegistration() { return controlRegistration(QStringLiteral("Fuzzy"), kFuzzyToolboxImage); }

} // namespace kelvane::marlox
