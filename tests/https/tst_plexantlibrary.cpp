// The shared library "plexant" as other programs meet it: registered through its own entry,
// its control created by class name, driven by dispatch identifier, its events heard.
#include "https/PlexantTypeLibrary.h"
#include "platform/automation/Activator.h"
#include "platform/automation/AutomationError.h"
#include "platform/automation/EventConnection.h"
#include "platform/automation/ServerLibrary.h"
#include "platform/doubles/MemoryRegistry.h"
#include "tests/https/ScriptedPeer.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform::automation;
using kelvane::Variant;
using kelvane::test::ScriptedPeer;

namespace {

QString libraryPath() { return kelvane::test::buildPath(QStringLiteral("https/libplexant.so")); }

// Records the events it hears and accepts every certificate.
class RecordingSink : public EventSink {
public:
    QStringList heard;
    void onEvent(DispId, const QString& name, QList<Variant>&) override { heard.append(name); }
};

} // namespace

TEST(PlexantLibrary, RegistersAndServesTheControlByClassName)
{
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    platform::ScopedService<Activator> activator;
    registerServerLibrary(libraryPath());
    const auto value = [&](const QString& key) { return registry->queryValue(platform::HKEY_CLASSES_ROOT, key, {}); };
    const QString classKey = QStringLiteral("CLSID\\") + registryText(kelvane::plexant::typeLibrary().findClass(QStringLiteral("HTTPS"))->id);
    EXPECT_EQ(value(QStringLiteral("NetbrookSSL.HTTPS\\CurVer")), QStringLiteral("NetbrookSSL.HTTPS.1"));
    EXPECT_EQ(value(QStringLiteral("NetbrookSSL5.HTTPS\\CurVer")), QStringLiteral("NetbrookSSL.HTTPS.1"));
    EXPECT_EQ(value(classKey + QStringLiteral("\\MiscStatus\\1")), QStringLiteral("132497"));
    EXPECT_TRUE(value(classKey + QStringLiteral("\\ToolboxBitmap32"))->endsWith(QStringLiteral(", 101")));
    EXPECT_TRUE(registry->keyExists(platform::HKEY_CLASSES_ROOT,
                                    classKey + QStringLiteral("\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}")));
    for (const char* marker : {"Programmable", "Control", "Insertable", "Windows CE Control"})
        EXPECT_TRUE(registry->keyExists(platform::HKEY_CLASSES_ROOT, classKey + QLatin1Char('\\') + QLatin1String(marker)));

    {
        ScriptedPeer peer(QStringLiteral("body-limit"));
        const DispatchObject control = activator->createObject(QStringLiteral("NetbrookSSL5.HTTPS"));
        auto sink = std::make_shared<RecordingSink>();
        const auto connection = control.advise(sink);
        control.call(503, {peer.url()}); // Get
        EXPECT_EQ(control.get(43), Variant(QStringLiteral("HTTP/1.0 200 OK"))); // StatusLine
        EXPECT_EQ(control.get(QStringLiteral("URLPort")), Variant(qint32(peer.port())));
        EXPECT_EQ(sink->heard.first(), QStringLiteral("Connected"));
        EXPECT_TRUE(sink->heard.contains(QStringLiteral("Transfer")));
        EXPECT_EQ(sink->heard.last(), QStringLiteral("Disconnected"));

        try {
            control.put(2, qint32(6));
            ADD_FAILURE() << "Action 6 was taken";
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.hresult(), qint32(0x800A017C));
            EXPECT_EQ(e.Source(), QStringLiteral("NetbrookSSL.HTTPS.1"));
            EXPECT_EQ(e.HelpFile(), QStringLiteral("netbrookssl.chm"));
            EXPECT_EQ(e.HelpContext(), 21802u);
        }
    }
    unregisterServerLibrary(libraryPath());
    EXPECT_EQ(registry->keys(), QStringList());
}

