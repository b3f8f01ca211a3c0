#include "automation/KelvaneTypeLibrary.h"

#include "automation/DispIds.h"
#include "platform/RuntimeError.h"

namespace kelvane::automation {

using namespace platform::automation;
namespace kb = dispid::knowledgebase;
namespace ev = dispid::knowledgebaseevents;

namespace {

const QUuid kLibraryId = QUuid::fromString(u"{4F6346ED-5775-4D04-8984-B89237E4F7D3}");

// Interfaces and classes without an identifier of their own in the design get one derived
// from their name, so the identifiers stay the same from build to build.
QUuid derivedId(const QString& name) { return QUuid::createUuidV5(kLibraryId, name); }

InterfaceDescription dualInterface(const QString& name, QList<MemberDescription> members)
{
    return InterfaceDescription {.name = name, .id = derivedId(name), .dual = true, .hidden = true,
                                 .nonExtensible = true, .members = std::move(members)};
}

ParameterDescription byRef(const char* name, ValueType type) { return parameter(QString::fromLatin1(name), type, true); }

// Builds the members of a model class: fields, properties and methods each numbered from their
// own base in the order they are added.
class Members {
public:
    Members& field(const char* name, ValueType type, Access access = Access::ReadWrite)
    {
        m_members << propertyMember(QString::fromLatin1(name), dispid::kFirstField + m_fields++, type, access);
        return *this;
    }
    Members& property(const char* name, ValueType type, Access access = Access::ReadWrite)
    {
        m_members << propertyMember(QString::fromLatin1(name), dispid::kFirstProperty + m_properties++, type, access);
        return *this;
    }
    Members& method(const char* name, ValueType result = ValueType::Void, QList<ParameterDescription> parameters = {})
    {
        m_members << methodMember(QString::fromLatin1(name), dispid::kFirstMethod + m_methods++, result, std::move(parameters));
        return *this;
    }
    QList<MemberDescription> list() const { return m_members; }

private:
    QList<MemberDescription> m_members;
    DispId m_fields = 0;
    DispId m_properties = 0;
    DispId m_methods = 0;
};

constexpr auto RO = Access::ReadOnly;
constexpr auto WO = Access::WriteOnly;
constexpr auto Obj = ValueType::Object;
constexpr auto Str = ValueType::String;
constexpr auto Bool = ValueType::Boolean;
constexpr auto Int = ValueType::Integer;
constexpr auto Dbl = ValueType::Double;
constexpr auto Lng = ValueType::Long;

InterfaceDescription knowledgeBaseInterface()
{
    const auto optionalName = [] { return parameter(QStringLiteral("strFileName"), Str, true, true); };
    const auto prop = [](const char* name, DispId id, ValueType type, Access access = Access::ReadWrite) {
        return propertyMember(QString::fromLatin1(name), id, type, access);
    };
    const auto method = [](const char* name, DispId id, QList<ParameterDescription> parameters = {}) {
        return methodMember(QString::fromLatin1(name), id, ValueType::Void, std::move(parameters));
    };
    auto members = dualInterface(QStringLiteral("_KnowledgeBase"), {
        prop("GUID", kb::GUID, Str),
        prop("ApcProject", kb::ApcProject, Obj),
        prop("Pages", kb::Pages, Obj, RO),
        prop("Properties", kb::Properties, Obj),
        prop("FileName", kb::FileName, Str),
        method("OpenFile", kb::OpenFile, {optionalName()}),
        method("SaveFile", kb::SaveFile, {optionalName()}),
        prop("Layers", kb::Layers, Obj, RO),
        prop("Report", kb::Report, Obj, RO),
        method("Refresh", kb::Refresh),
        method("AddLayer", kb::AddLayer),
        prop("TooltipText", kb::TooltipText, Str, WO),
        prop("BackColour", kb::BackColour, Lng, WO),
        prop("NodeColour", kb::NodeColour, Lng, WO),
        prop("HighlightColour", kb::HighlightColour, Lng, WO),
        prop("ShadowColour", kb::ShadowColour, Lng, WO),
        prop("Status", kb::Status, Str),
        prop("KBName", kb::KBName, Str),
        prop("KBDescription", kb::KBDescription, Str),
        prop("Author", kb::Author, Str),
        prop("Copyright", kb::Copyright, Str),
        prop("MenuItems", kb::MenuItems, Obj),
        prop("ReportMenuItems", kb::ReportMenuItems, Obj),
        method("Quit", kb::Quit),
        prop("EditMode", kb::EditMode, Bool, RO),
        prop("NetworkType", kb::NetworkType, Int, RO),
        method("CloseFile", kb::CloseFile),
        prop("Visible", kb::Visible, Bool),
        method("AppShow", kb::AppShow),
        prop("AutoAnswer", kb::AutoAnswer, Bool),
        prop("ShowAnswer", kb::ShowAnswer, Bool),
        prop("ScenarioName", kb::ScenarioName, Str),
        prop("ScenarioDescription", kb::ScenarioDescription, Str),
        prop("LastModified", kb::LastModified, Str),
    });
    members.id = QUuid::fromString(u"{362CC1A6-D5CB-4AE7-8123-4CB1DF53D648}");
    return members;
}

InterfaceDescription knowledgeBaseEvents()
{
    const auto event = [](const char* name, DispId id, QList<ParameterDescription> parameters = {}) {
        return eventMember(QString::fromLatin1(name), id, std::move(parameters));
    };
    const auto node = [] { return byRef("Node1", Obj); };
    const auto cancel = [] { return byRef("Cancel", Bool); };
    const auto flag = [] { return byRef("Cancel", Int); };
    const auto button = [] { return byRef("Button", Int); };
    return InterfaceDescription {
        .name = QStringLiteral("__KnowledgeBase"),
        .id = QUuid::fromString(u"{52CD7A8E-BB75-4D01-BB6C-210A8077FAED}"),
        .events = true,
        .hidden = true,
        .nonExtensible = true,
        .members = {
            event("NewDocument", ev::NewDocument),
            event("Load", ev::Load, {cancel()}),
            event("Unload", ev::Unload, {cancel()}),
            event("BeforeAnswer", ev::BeforeAnswer, {node(), cancel()}),
            event("BeforeQuestion", ev::BeforeQuestion, {node(), cancel()}),
            event("BeforePrecondition", ev::BeforePrecondition, {node(), cancel()}),
            event("AfterAnswer", ev::AfterAnswer, {node(), flag()}),
            event("AfterQuestion", ev::AfterQuestion, {node(), flag()}),
            event("AfterPrecondition", ev::AfterPrecondition, {node(), flag()}),
            event("MouseMove", ev::MouseMove, {byRef("x", ValueType::Single), byRef("y", ValueType::Single)}),
            event("MouseClick", ev::MouseClick, {button()}),
            event("NodeMouseMove", ev::NodeMouseMove, {node()}),
            event("NodeMouseClick", ev::NodeMouseClick, {button(), node()}),
            event("LinkMouseMove", ev::LinkMouseMove, {byRef("Link1", Obj)}),
            event("LinkMouseClick", ev::LinkMouseClick, {button(), byRef("Link1", Obj)}),
            event("MenuClick", ev::MenuClick, {byRef("MenuItem1", Obj)}),
        }};
}

InterfaceDescription applicationInterface()
{
    namespace app = dispid::application;
    auto members = dualInterface(QStringLiteral("_CApplication"), {
        propertyMember(QStringLiteral("Application"), app::Application, Obj, RO),
        propertyMember(QStringLiteral("Name"), app::Name, Str, RO),
        propertyMember(QStringLiteral("Parent"), app::Parent, Obj, RO),
        propertyMember(QStringLiteral("VBE"), app::VBE, Obj, RO),
        propertyMember(QStringLiteral("KnowledgeBase"), app::KnowledgeBase, Obj, RO),
        propertyMember(QStringLiteral("Documents"), app::Documents, Obj, RO),
    });
    members.id = QUuid::fromString(u"{0EB73C4E-E4E3-4293-B2F7-07DDE9557C44}");
    return members;
}

InterfaceDescription menuItemInterface()
{
    auto members = dualInterface(QStringLiteral("_MenuItem"), {
        propertyMember(QStringLiteral("cName"), dispid::menuitem::cName, Str),
        propertyMember(QStringLiteral("Name"), dispid::menuitem::Name, Str),
    });
    members.id = QUuid::fromString(u"{FA6FACAE-00F9-45B6-83BC-1F3B7157A6E1}");
    return members;
}

InterfaceDescription collectionInterface()
{
    namespace col = dispid::collection;
    const auto optional = [](const char* name) { return parameter(QString::fromLatin1(name), ValueType::Variant, false, true); };
    return dualInterface(QStringLiteral("_Collection"), {
        propertyMember(QStringLiteral("Item"), col::Item, ValueType::Variant, RO,
                       {parameter(QStringLiteral("Index"), ValueType::Variant)}),
        methodMember(QStringLiteral("Add"), col::Add, ValueType::Void,
                     {parameter(QStringLiteral("Item"), ValueType::Variant), optional("Key"), optional("Before"),
                      optional("After")}),
        propertyMember(QStringLiteral("Count"), col::Count, Lng, RO),
        methodMember(QStringLiteral("Remove"), col::Remove, ValueType::Void,
                     {parameter(QStringLiteral("Index"), ValueType::Variant)}),
    });
}

QList<InterfaceDescription> modelInterfaces()
{
    const auto newGuid = [] { return parameter(QStringLiteral("bNewGUID"), Bool); };
    return {
        dualInterface(QStringLiteral("_Node"),
                      Members()
                          .field("Question", Obj).field("Reason", Obj).field("Answers", Obj, RO).field("Links", Obj, RO)
                          .field("Default", Dbl).field("NoDefault", Bool).field("Justification", Obj).field("Color", Lng)
                          .field("Plural", Bool).field("Properties", Obj, RO).field("GUID", Str).field("OldGUID", Str)
                          .field("Layer", Obj, RO).field("Answered", Bool).field("DOT", Dbl).field("AutoAnswer", Bool)
                          .field("LowerLevelNode", Obj, RO).field("HigherLevelNodes", Obj, RO).field("TooltipText", Str)
                          .field("ExternalNetworkGUID", Str).field("Contradiction", Bool).field("Controls", Obj, RO)
                          .field("ControlsBackup", Obj, RO)
                          .property("SourceIndex", Int).property("Selected", Bool).property("MoreInfo", Str)
                          .property("External", Bool, RO).property("Overridden", Bool).property("ExternalGUID", Str, RO)
                          .property("Answer", Dbl).property("Index", Int, RO).property("Name", Obj)
                          .property("Parents", Obj, RO).property("Enabled", Bool).property("LowerLevelPage", Obj, RO)
                          .property("Irrelevant", Bool, RO).property("NeedInfo", Bool, RO).property("Required", Bool, RO)
                          .method("AddLink", ValueType::Void, {parameter(QStringLiteral("Target"), Obj)})
                          .method("ReOrderLinks").method("Clone", Obj, {newGuid()}).method("Reset")
                          .list()),
        dualInterface(QStringLiteral("_Link"),
                      Members()
                          .field("ConnectionTo", Obj).field("ConnectionFrom", Obj).field("WeightDeny", Dbl)
                          .field("AlwaysDeny", Bool).field("Weight", Dbl).field("WeightAffirm", Dbl)
                          .field("AlwaysAffirm", Bool).field("DOT", Dbl).field("Active", Bool).field("TooltipText", Str)
                          .list()),
        dualInterface(QStringLiteral("_Layer"),
                      Members().field("Index", Int).property("Nodes", Obj, RO).property("KnowledgeBase", Obj, RO)
                          .method("AddNode").list()),
        dualInterface(QStringLiteral("_Page"), Members().property("GUID", Str, RO).property("Layers", Obj, RO).list()),
        dualInterface(QStringLiteral("_TextLabel"),
                      Members().field("HTML", Str).field("ForeColor", Lng).property("Font", Obj).property("URIs", Obj, RO)
                          .property("Text", Str).property("RTF", Str, RO).method("Clone", Obj).list()),
        dualInterface(QStringLiteral("_FontProperties"),
                      Members().field("Name", Str).field("Size", Int).field("Bold", Bool).field("Italic", Bool)
                          .field("Underline", Bool).field("Strikethru", Bool).method("Clone", Obj).list()),
        dualInterface(QStringLiteral("_Property"),
                      Members().field("Value", ValueType::Variant).field("Name", Str).method("Clone", Obj).list()),
        dualInterface(QStringLiteral("_clsControl"),
                      Members().field("ControlType", Str).field("Name", Str).field("Value", Str).field("Default", Str)
                          .method("Clone", Obj).list()),
        dualInterface(QStringLiteral("_Report"),
                      Members().field("KnowledgeBase", Obj, RO).property("Name", Str, RO).property("ReportItems", Obj, RO)
                          .list()),
        dualInterface(QStringLiteral("_ReportItem"),
                      Members().field("ReportItems", Obj, RO).field("Text", Str).field("Justification", Str)
                          .field("Value", Int).field("Unknown", Bool).field("Overwritten", Bool).field("ByDefault", Bool)
                          .field("Contradiction", Bool).field("Always", Bool).list()),
        dualInterface(QStringLiteral("_URI"),
                      Members().field("URI", Str).field("SelStart", Lng).field("SelLength", Lng).list()),
        dualInterface(QStringLiteral("_clsAction"),
                      Members().field("action", Int).field("Object", Obj).field("OriginalObject", Obj)
                          .field("NetworkGUID", Str).field("ObjectType", Int).list()),
        dualInterface(QStringLiteral("_clsClipboard"),
                      Members().field("Actions", Obj).field("Paste", Bool).method("CheckLimit").list()),
        dualInterface(QStringLiteral("_VBE"), Members().property("Visible", Bool).list()),
        dualInterface(QStringLiteral("_MacroProject"), Members().property("Name", Str).list()),
    };
}

ClassDescription classOf(const QString& name, bool creatable, bool applicationObject = false, QUuid id = {},
                         QString events = {})
{
    return ClassDescription {.name = name,
                             .id = id.isNull() ? derivedId(name) : id,
                             .defaultInterface = u'_' + name,
                             .eventInterface = std::move(events),
                             .creatable = creatable,
                             .applicationObject = applicationObject};
}

TypeLibraryDescription describe()
{
    TypeLibraryDescription library {.name = QStringLiteral("Kelvane"),
                                    .id = kLibraryId,
                                    .helpString = QStringLiteral("Kelvane knowledge bases")};
    library.interfaces = {knowledgeBaseInterface(), knowledgeBaseEvents(), applicationInterface(), menuItemInterface(),
                          collectionInterface()};
    library.interfaces += modelInterfaces();
    library.classes = {
        classOf(QStringLiteral("KnowledgeBase"), true, true, QUuid::fromString(u"{6CEDCB70-207F-42DA-A259-4E7F8F1B9092}"),
                QStringLiteral("__KnowledgeBase")),
        classOf(QStringLiteral("CApplication"), true, true, QUuid::fromString(u"{E7CCDCEB-B4C0-4C84-936B-FFA2F91A24CE}")),
        classOf(QStringLiteral("MenuItem"), true, false, QUuid::fromString(u"{9E305CBC-2C19-4776-9106-D550E28B222C}")),
        classOf(QStringLiteral("Collection"), true),
        classOf(QStringLiteral("Property"), true, true),
        classOf(QStringLiteral("clsControl"), true),
        classOf(QStringLiteral("clsAction"), true),
        classOf(QStringLiteral("clsClipboard"), true),
        classOf(QStringLiteral("Page"), true),
        classOf(QStringLiteral("URI"), true),
    };
    for (const char* exposed : {"Node", "Link", "Layer", "TextLabel", "FontProperties", "Report", "ReportItem", "VBE",
                                "MacroProject"})
        library.classes << classOf(QString::fromLatin1(exposed), false);
    return library;
}

} // namespace

const TypeLibraryDescription& typeLibrary()
{
    static const TypeLibraryDescription library = describe();
    return library;
}

const InterfaceDescription& membersOf(const QString& className)
{
    const ClassDescription* described = typeLibrary().findClass(className);
    const InterfaceDescription* members = described ? typeLibrary().findInterface(described->defaultInterface) : nullptr;
    if (!members)
        raiseError(err::ObjectDoesNotSupport, QStringLiteral("No automation class %1").arg(className));
    return *members;
}

const InterfaceDescription* eventsOf(const QString& className)
{
    const ClassDescription* described = typeLibrary().findClass(className);
    if (!described || described->eventInterface.isEmpty())
        return nullptr;
    return typeLibrary().findInterface(described->eventInterface);
}

} // namespace kelvane::automation
