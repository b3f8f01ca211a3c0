#include "tests/platform/Meter.h"

#include <algorithm>

namespace kelvane::test {

using namespace platform::automation;

void Meter::setMark(qint16 index, const QString& text)
{
    while (m_marks.size() <= index)
        m_marks.append(QString());
    m_marks[index] = text;
}

bool Meter::Swap(QString& text, float& factor)
{
    std::reverse(text.begin(), text.end());
    factor *= 2;
    return true;
}

TypeLibraryDescription Meter::typeLibrary()
{
    const InterfaceDescription members {
        .name = QStringLiteral("_Meter"),
        .id = QUuid::fromString(u"{a0c61f3e-52d4-4b8e-8f36-7e2d5c1b4a01}"),
        .dual = true,
        .members = {
            propertyMember(QStringLiteral("Reading"), DefaultMember, ValueType::Double),
            propertyMember(QStringLiteral("Unit"), 1, ValueType::String, Access::ReadOnly),
            propertyMember(QStringLiteral("Scale"), 2, ValueType::Integer),
            propertyMember(QStringLiteral("Mark"), 3, ValueType::String, Access::ReadWrite,
                     {parameter(QStringLiteral("Index"), ValueType::Integer)}),
            propertyMember(QStringLiteral("Secret"), 4, ValueType::String, Access::WriteOnly),
            methodMember(QStringLiteral("Swap"), 5, ValueType::Boolean,
                   {parameter(QStringLiteral("Text"), ValueType::String, true),
                    parameter(QStringLiteral("Factor"), ValueType::Single, true)}),
            methodMember(QStringLiteral("Child"), 6, ValueType::Object),
            methodMember(QStringLiteral("Echo"), 7, ValueType::Variant, {parameter(QStringLiteral("Value"), ValueType::Variant)}),
            methodMember(QStringLiteral("Fail"), 8, ValueType::Void, {parameter(QStringLiteral("Number"), ValueType::Long)}),
            propertyMember(QStringLiteral("Enabled"), 9, ValueType::Boolean),
        }};
    const InterfaceDescription events {
        .name = QStringLiteral("__Meter"),
        .id = QUuid::fromString(u"{a0c61f3e-52d4-4b8e-8f36-7e2d5c1b4a02}"),
        .events = true,
        .members = {
            eventMember(QStringLiteral("Changed"), 1, {parameter(QStringLiteral("Reading"), ValueType::Double)}),
            eventMember(QStringLiteral("Confirm"), 2,
                  {parameter(QStringLiteral("Text"), ValueType::String, true),
                   parameter(QStringLiteral("Cancel"), ValueType::Boolean, true)}),
        }};
    const ClassDescription meter {.name = QStringLiteral("Meter"),
                                  .id = QUuid::fromString(u"{a0c61f3e-52d4-4b8e-8f36-7e2d5c1b4a03}"),
                                  .defaultInterface = QStringLiteral("_Meter"),
                                  .eventInterface = QStringLiteral("__Meter")};
    return TypeLibraryDescription {.name = QStringLiteral("MeterLib"),
                                   .id = QUuid::fromString(u"{a0c61f3e-52d4-4b8e-8f36-7e2d5c1b4a00}"),
                                   .majorVersion = 2,
                                   .minorVersion = 1,
                                   .interfaces = {members, events},
                                   .classes = {meter}};
}

std::shared_ptr<const DispatchTable> Meter::table()
{
    static const auto table = [] {
        const TypeLibraryDescription library = typeLibrary();
        return std::make_shared<const DispatchTable>(staticMetaObject, *library.findInterface(QStringLiteral("_Meter")),
                                                     *library.findInterface(QStringLiteral("__Meter")));
    }();
    return table;
}

DispatchObject Meter::make() { return DispatchObject(std::make_shared<Meter>(), table()); }

} // namespace kelvane::test
