// The worked example: a test class in a shared library, registered through the library's own
// entry, created by ProgID through the registry, called by name and by dispatch identifier,
// raising an event and an automation error, and unregistered again.
#include "platform/automation/Activator.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/EventConnection.h"
#include "platform/automation/ServerLibrary.h"
#include "platform/doubles/MemoryRegistry.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QFileInfo>
#include <QLibrary>
#include <gtest/gtest.h>

using namespace platform::automation;
using kelvane::Variant;
using kelvane::test::errorNumberOf;
using platform::HKEY_CLASSES_ROOT;

namespace {

const QString kTallyClass = QStringLiteral("CLSID\\{6E1F0A52-3B7C-4C1E-9A51-0D1F7C2B9E03}");

QString tallyLibraryPath() { return kelvane::test::buildPath(QStringLiteral("tests/platform/libkelvane_test_tally.so")); }

// Cancels every Reached event and remembers the totals it was offered.
class CancellingSink : public EventSink {
public:
    QList<Variant> offered;
    void onEvent(DispId id, const QString& name, QList<Variant>& arguments) override
    {
        if (id == 1 && name == QStringLiteral("Reached")) {
            offered.append(arguments.at(0));
            arguments[1] = true;
        }
    }
};

HResult canUnloadNow()
{
    using Entry = HResult (*)();
    const auto entry = reinterpret_cast<Entry>(QLibrary(tallyLibraryPath()).resolve("DllCanUnloadNow"));
    return entry ? entry() : hresult::Fail;
}

} // namespace

TEST(InProcessServer, ATallyIsRegisteredCreatedByProgIdCalledAndUnregistered)
{
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    platform::ScopedService<Activator> activator;
    const QString library = tallyLibraryPath();
    ASSERT_TRUE(QFileInfo::exists(library));

    registerServerLibrary(library);
    const QUuid classId = activator->classIdOfProgId(QStringLiteral("KelvaneTest.Tally"));
    EXPECT_EQ(registryText(classId), QStringLiteral("{6E1F0A52-3B7C-4C1E-9A51-0D1F7C2B9E03}"));
    EXPECT_EQ(activator->classIdOfProgId(QStringLiteral("KelvaneTest.Tally.1")), classId);
    EXPECT_EQ(registry->queryValue(HKEY_CLASSES_ROOT, QStringLiteral("KelvaneTest.Tally\\CurVer"), {}),
              QStringLiteral("KelvaneTest.Tally.1"));
    const auto server = registry->queryValue(HKEY_CLASSES_ROOT, kTallyClass + QStringLiteral("\\InprocServer32"), {});
    ASSERT_TRUE(server);
    EXPECT_EQ(QFileInfo(*server).canonicalFilePath(), QFileInfo(library).canonicalFilePath());
    EXPECT_EQ(registry->queryValue(HKEY_CLASSES_ROOT, kTallyClass + QStringLiteral("\\InprocServer32"), QStringLiteral("ThreadingModel")),
              QStringLiteral("Apartment"));
    EXPECT_EQ(registry->queryValue(HKEY_CLASSES_ROOT, kTallyClass + QStringLiteral("\\MiscStatus\\1"), {}), QStringLiteral("132497"));
    EXPECT_EQ(registry->queryValue(HKEY_CLASSES_ROOT, kTallyClass + QStringLiteral("\\ToolboxBitmap32"), {}), *server + QStringLiteral(", 101"));
    EXPECT_TRUE(registry->keyExists(HKEY_CLASSES_ROOT, kTallyClass + QStringLiteral("\\Control")));

    {
        const DispatchObject tally = activator->createObject(QStringLiteral("KelvaneTest.Tally"));
        EXPECT_EQ(canUnloadNow(), hresult::False);
        tally.put(QStringLiteral("Caption"), QStringLiteral("Apples"));
        EXPECT_EQ(tally.get(1), Variant(QStringLiteral("Apples")));
        EXPECT_EQ(tally.call(QStringLiteral("Add"), {qint16(40)}), Variant(qint32(40)));
        EXPECT_EQ(tally.call(tally.idOfName(QStringLiteral("add")), {2.5, qint32(1000)}), Variant(qint32(42)));
        EXPECT_EQ(tally.get(DefaultMember), Variant(qint32(42)));

        auto sink = std::make_shared<CancellingSink>();
        const auto connection = tally.advise(sink);
        EXPECT_EQ(tally.call(QStringLiteral("Add"), {qint16(60)}), Variant(qint32(42)));
        EXPECT_EQ(sink->offered, QList<Variant> {Variant(qint32(102))});

        try {
            tally.call(QStringLiteral("Refuse"));
            ADD_FAILURE() << "no error";
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.hresult(), qint32(0x800A0000 + 20145));
            EXPECT_EQ(e.Description(), QStringLiteral("Tally refused."));
            EXPECT_EQ(e.Source(), QStringLiteral("KelvaneTest.Tally"));
            EXPECT_EQ(e.HelpContext(), 41806u);
        }
    }
    EXPECT_EQ(canUnloadNow(), hresult::Ok);

    unregisterServerLibrary(library);
    EXPECT_EQ(registry->keys(), QStringList());
    EXPECT_EQ(errorNumberOf([&] { activator->createObject(QStringLiteral("KelvaneTest.Tally")); }), kelvane::err::CantCreateObject);
}

TEST(InProcessServer, AMissingLibraryCannotBeRegisteredOrCreate)
{
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    platform::ScopedService<Activator> activator;
    const QString missing = kelvane::test::scratchFolder() + QStringLiteral("/libabsent.so");
    EXPECT_EQ(errorNumberOf([&] { registerServerLibrary(missing); }), kelvane::err::FileNotFound);

    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("Absent.Thing\\CLSID"), {}, QStringLiteral("{6E1F0A52-3B7C-4C1E-9A51-0D1F7C2B9EFF}"));
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{6E1F0A52-3B7C-4C1E-9A51-0D1F7C2B9EFF}\\InprocServer32"), {}, missing);
    EXPECT_EQ(errorNumberOf([&] { activator->createObject(QStringLiteral("Absent.Thing")); }), kelvane::err::CantCreateObject);
    // The tally library serves only its own class.
    registry->set(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{6E1F0A52-3B7C-4C1E-9A51-0D1F7C2B9EFF}\\InprocServer32"), {},
                  tallyLibraryPath());
    EXPECT_EQ(errorNumberOf([&] { activator->createObject(QStringLiteral("Absent.Thing")); }), kelvane::err::CantCreateObject);
}
