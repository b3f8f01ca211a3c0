#include "platform/automation/Activator.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/ClassServer.h"
#include "platform/automation/EventConnection.h"
#include "platform/doubles/MemoryRegistry.h"
#include "tests/platform/Meter.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace platform::automation;
using kelvane::Variant;
using kelvane::test::errorNumberOf;
using kelvane::test::Meter;
namespace err = kelvane::err;

namespace {

Meter& meterOf(const DispatchObject& object) { return *qobject_cast<Meter*>(object.object()); }

// Records every event it hears; may set the by-reference arguments or fail.
class RecordingSink : public EventSink {
public:
    struct Heard {
        DispId id;
        QString name;
        QList<Variant> arguments;
    };
    std::vector<Heard> heard;
    std::function<void(QList<Variant>&)> answer;

    void onEvent(DispId id, const QString& name, QList<Variant>& arguments) override
    {
        heard.push_back({id, name, arguments});
        if (answer)
            answer(arguments);
    }
};

} // namespace

TEST(Dispatch, MembersAnswerByNameAndByIdentifier)
{
    const DispatchObject meter = Meter::make();
    meter.put(QStringLiteral("reading"), 2.5);
    EXPECT_EQ(meter.get(DefaultMember), Variant(2.5));
    EXPECT_EQ(meter.get(QStringLiteral("READING")), Variant(2.5));
    EXPECT_EQ(meter.idOfName(QStringLiteral("unit")), 1);
    EXPECT_EQ(meter.get(1), Variant(QStringLiteral("bar")));
    EXPECT_EQ(meter.get(QStringLiteral("Scale")).type(), Variant::Type::Integer);

    // Indexed and write-only properties go through the Q_INVOKABLE reader and setter.
    meter.put(QStringLiteral("Mark"), QStringLiteral("high"), {qint16(2)});
    EXPECT_EQ(meter.get(QStringLiteral("Mark"), {qint16(2)}), Variant(QStringLiteral("high")));
    EXPECT_EQ(meter.call(3, {qint16(0)}), Variant(QStringLiteral("")));
    meter.put(QStringLiteral("Secret"), QStringLiteral("x"));
    EXPECT_EQ(meterOf(meter).writes, (QStringList {QStringLiteral("Reading")}));
}

TEST(Dispatch, RefusedCallsRaiseTheOldErrors)
{
    const DispatchObject meter = Meter::make();
    EXPECT_EQ(errorNumberOf([&] { meter.get(QStringLiteral("Pressure")); }), err::ObjectDoesNotSupport);
    EXPECT_EQ(errorNumberOf([&] { meter.get(99); }), err::ObjectDoesNotSupport);
    EXPECT_EQ(errorNumberOf([&] { meter.put(QStringLiteral("Swap"), true); }), err::ObjectDoesNotSupport);
    EXPECT_EQ(errorNumberOf([&] { meter.call(QStringLiteral("Changed")); }), err::ObjectDoesNotSupport);
    EXPECT_EQ(errorNumberOf([&] { meter.put(QStringLiteral("Unit"), QStringLiteral("psi")); }), err::WrongNumberOfArguments);
    EXPECT_EQ(errorNumberOf([&] { meter.get(QStringLiteral("Secret")); }), err::WrongNumberOfArguments);
    EXPECT_EQ(errorNumberOf([&] { meter.call(QStringLiteral("Echo"), {1, 2}); }), err::WrongNumberOfArguments);
    EXPECT_EQ(errorNumberOf([&] { meter.get(QStringLiteral("Reading"), {qint16(1)}); }), err::WrongNumberOfArguments);
    EXPECT_EQ(errorNumberOf([&] { meter.get(QStringLiteral("Mark")); }), err::ArgumentNotOptional);
    EXPECT_EQ(errorNumberOf([] { DispatchObject().get(DefaultMember); }), err::ObjectNotSet);
}

TEST(Dispatch, ArgumentsConvertAsTheOldRuntimeConvertedThem)
{
    const DispatchObject meter = Meter::make();
    meter.put(QStringLiteral("Scale"), 2.5);
    EXPECT_EQ(meter.get(QStringLiteral("Scale")), Variant(qint16(2)));
    meter.put(QStringLiteral("Scale"), QStringLiteral(" 3.5 "));
    EXPECT_EQ(meter.get(QStringLiteral("Scale")), Variant(qint16(4)));
    meter.put(QStringLiteral("Enabled"), QStringLiteral("0"));
    EXPECT_EQ(meter.get(QStringLiteral("Enabled")), Variant(false));
    EXPECT_EQ(errorNumberOf([&] { meter.put(QStringLiteral("Scale"), qint32(40000)); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { meter.put(QStringLiteral("Reading"), QStringLiteral("high")); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { meter.call(QStringLiteral("Swap"), {QStringLiteral("ab"), 1e300}); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { meter.put(QStringLiteral("Reading"), Meter::make().toVariant()); }), err::TypeMismatch);
    // A failed conversion changes nothing.
    EXPECT_EQ(meter.get(QStringLiteral("Scale")), Variant(qint16(4)));
}

TEST(Dispatch, ByReferenceArgumentsComeBackChanged)
{
    const DispatchObject meter = Meter::make();
    QList<Variant> arguments {QStringLiteral("abc"), 1.5};
    EXPECT_EQ(meter.invoke(meter.idOfName(QStringLiteral("Swap")), InvokeKind::Method, arguments), Variant(true));
    EXPECT_EQ(arguments, (QList<Variant> {QStringLiteral("cba"), 3.0}));
    // A by-value parameter stays as the caller gave it.
    arguments = {Variant(qint16(5))};
    meter.invoke(meter.idOfName(QStringLiteral("Echo")), InvokeKind::Method, arguments);
    EXPECT_EQ(arguments.at(0).type(), Variant::Type::Integer);
}

TEST(Dispatch, ObjectsAndVariantsCross)
{
    const DispatchObject meter = Meter::make();
    const DispatchObject child = DispatchObject::fromVariant(meter.call(QStringLiteral("Child")));
    ASSERT_FALSE(child.isNothing());
    EXPECT_NE(child, meter);
    EXPECT_EQ(child.get(QStringLiteral("Unit")), Variant(QStringLiteral("bar")));
    // Variants pass through unchanged, objects included.
    EXPECT_EQ(meter.call(QStringLiteral("Echo"), {qint16(7)}), Variant(qint16(7)));
    EXPECT_EQ(DispatchObject::fromVariant(meter.call(QStringLiteral("Echo"), {child.toVariant()})), child);
    EXPECT_TRUE(DispatchObject::fromVariant(Variant()).isNothing());
    EXPECT_EQ(errorNumberOf([] { DispatchObject::fromVariant(QStringLiteral("meter")); }), err::TypeMismatch);
}

TEST(Dispatch, ErrorsOfTheMemberReachTheCallerWithTheirDetails)
{
    const DispatchObject meter = Meter::make();
    try {
        meter.call(QStringLiteral("Fail"), {qint32(20145)});
        ADD_FAILURE() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.Number(), 20145);
        EXPECT_EQ(e.hresult(), qint32(0x800A4EB1));
        EXPECT_EQ(e.Description(), QStringLiteral("Meter failed."));
        EXPECT_EQ(e.Source(), QStringLiteral("Test.Meter"));
        EXPECT_EQ(e.HelpFile(), QStringLiteral("meter.chm"));
        EXPECT_EQ(e.HelpContext(), 7u);
    }
    EXPECT_EQ(AutomationError::hresultOf(err::OutOfMemory), qint32(0x800A0007));
    EXPECT_EQ(AutomationError::numberOf(qint32(0x800A0007)), err::OutOfMemory);
    EXPECT_EQ(AutomationError::numberOf(hresult::OutOfMemory), err::OutOfMemory);
    EXPECT_EQ(AutomationError::numberOf(qint32(0x800A61E6)), 10061 + 15001);
    EXPECT_EQ(AutomationError::numberOf(hresult::Fail), hresult::Fail);
}

namespace {
class Clock : public QObject {
    Q_OBJECT
    Q_PROPERTY(QDateTime When READ When)
public:
    QDateTime When() const { return {}; }
};
} // namespace

TEST(DispatchTable, NamesWhatAClassCannotCarry)
{
    TypeLibraryDescription library = Meter::typeLibrary();
    InterfaceDescription members = *library.findInterface(QStringLiteral("_Meter"));
    members.members.append(propertyMember(QStringLiteral("Pressure"), 20, ValueType::Double));
    try {
        DispatchTable table(Meter::staticMetaObject, members);
        ADD_FAILURE() << "bound a missing member";
    } catch (const kelvane::RuntimeError& e) {
        EXPECT_EQ(e.Number(), err::ObjectDoesNotSupport);
        EXPECT_EQ(e.Description(), QStringLiteral("kelvane::test::Meter.Pressure has no Qt member to carry it"));
    }
    const InterfaceDescription clock {.name = QStringLiteral("_Clock"),
                                      .members = {propertyMember(QStringLiteral("When"), 1, ValueType::Variant, Access::ReadOnly)}};
    EXPECT_EQ(errorNumberOf([&] { DispatchTable table(Clock::staticMetaObject, clock); }), err::TypeMismatch);
}

TEST(Events, SinksHearEveryEventInTurnAndMayAnswerThroughByReferenceArguments)
{
    const DispatchObject meter = Meter::make();
    auto first = std::make_shared<RecordingSink>();
    auto second = std::make_shared<RecordingSink>();
    first->answer = [](QList<Variant>& arguments) {
        if (arguments.size() == 2) {
            arguments[0] = QStringLiteral("checked");
            arguments[1] = true;
        }
    };
    const auto firstConnection = meter.advise(first);
    const auto secondConnection = meter.advise(second);

    QString text = QStringLiteral("draft");
    bool cancel = false;
    Q_EMIT meterOf(meter).Confirm(text, cancel);
    ASSERT_EQ(first->heard.size(), 1u);
    EXPECT_EQ(first->heard[0].id, 2);
    EXPECT_EQ(first->heard[0].name, QStringLiteral("Confirm"));
    EXPECT_EQ(first->heard[0].arguments, (QList<Variant> {QStringLiteral("draft"), false}));
    // The second sink hears what the first left; the object gets it back.
    ASSERT_EQ(second->heard.size(), 1u);
    EXPECT_EQ(second->heard[0].arguments, (QList<Variant> {QStringLiteral("checked"), true}));
    EXPECT_EQ(text, QStringLiteral("checked"));
    EXPECT_TRUE(cancel);

    Q_EMIT meterOf(meter).Changed(1.25);
    ASSERT_EQ(second->heard.size(), 2u);
    EXPECT_EQ(second->heard[1].id, 1);
    EXPECT_EQ(second->heard[1].arguments, (QList<Variant> {1.25}));
}

TEST(Events, AFailingSinkNeverFailsTheObjectAndADroppedConnectionHearsNothing)
{
    const DispatchObject meter = Meter::make();
    auto failing = std::make_shared<RecordingSink>();
    failing->answer = [](QList<Variant>& arguments) {
        arguments.last() = QStringLiteral("not a Boolean");
        kelvane::raiseError(err::Overflow);
    };
    auto listening = std::make_shared<RecordingSink>();
    const auto failingConnection = meter.advise(failing);
    auto listeningConnection = meter.advise(listening);
    QString text = QStringLiteral("t");
    bool cancel = false;
    Q_EMIT meterOf(meter).Confirm(text, cancel);
    EXPECT_EQ(listening->heard.size(), 1u);
    EXPECT_FALSE(cancel);

    listeningConnection.reset();
    Q_EMIT meterOf(meter).Changed(2.0);
    EXPECT_EQ(listening->heard.size(), 1u);
    EXPECT_EQ(failing->heard.size(), 2u);
}

namespace {

ClassRegistration meterRegistration()
{
    ClassRegistration registration;
    registration.className = QStringLiteral("Meter");
    registration.progId = QStringLiteral("KelvaneTest.Meter");
    registration.implementedCategories = {QUuid::fromString(u"{a0c61f3e-52d4-4b8e-8f36-7e2d5c1b4aff}")};
    return registration;
}

const QString kMeterClass = QStringLiteral("CLSID\\{A0C61F3E-52D4-4B8E-8F36-7E2D5C1B4A03}");

} // namespace

TEST(LocalServer, RegistersItsClassesAndOffersThemWhileItRuns)
{
    using platform::HKEY_CLASSES_ROOT;
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    Activator activator;
    const ClassServer server(Meter::typeLibrary(), {ServedClass::of<Meter>(meterRegistration())});

    server.registerServer(ServerKind::LocalServer, QStringLiteral("/opt/kelvane/kelvane"));
    EXPECT_EQ(registry->queryValue(HKEY_CLASSES_ROOT, kMeterClass + QStringLiteral("\\LocalServer32"), {}),
              QStringLiteral("/opt/kelvane/kelvane"));
    EXPECT_FALSE(registry->keyExists(HKEY_CLASSES_ROOT, kMeterClass + QStringLiteral("\\InprocServer32")));
    EXPECT_TRUE(registry->keyExists(HKEY_CLASSES_ROOT,
                                    kMeterClass + QStringLiteral("\\Implemented Categories\\{A0C61F3E-52D4-4B8E-8F36-7E2D5C1B4AFF}")));
    EXPECT_EQ(registry->queryValue(HKEY_CLASSES_ROOT, QStringLiteral("TypeLib\\{A0C61F3E-52D4-4B8E-8F36-7E2D5C1B4A00}\\2.1\\0\\win32"), {}),
              QStringLiteral("/opt/kelvane/kelvane"));
    EXPECT_EQ(registry->queryValue(HKEY_CLASSES_ROOT, QStringLiteral("Interface\\{A0C61F3E-52D4-4B8E-8F36-7E2D5C1B4A02}\\TypeLib"),
                                   QStringLiteral("Version")),
              QStringLiteral("2.1"));

    // Registered but not running: its program is not reachable from here.
    EXPECT_EQ(errorNumberOf([&] { activator.createObject(QStringLiteral("KelvaneTest.Meter")); }), err::CantCreateObject);
    {
        const auto offers = server.publish(activator);
        const DispatchObject meter = activator.createObject(QStringLiteral("kelvanetest.meter"));
        EXPECT_EQ(meter.get(QStringLiteral("Unit")), Variant(QStringLiteral("bar")));
        EXPECT_EQ(server.liveObjects(), 1);
    }
    EXPECT_EQ(server.liveObjects(), 0);
    EXPECT_EQ(errorNumberOf([&] { activator.createObject(QStringLiteral("KelvaneTest.Meter")); }), err::CantCreateObject);
    EXPECT_EQ(errorNumberOf([&] { activator.createObject(QStringLiteral("Nobody.Here")); }), err::CantCreateObject);

    server.unregisterServer();
    EXPECT_EQ(registry->keys(), QStringList());
}

#include "tst_automation.moc"
