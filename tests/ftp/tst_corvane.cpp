// The FTP control library as other programs meet it: registered through its own entry, the
// control created by ProgID, driven by dispatch identifier, its events heard by a sink.
#include "ftp/CorvaneTypeLibrary.h"
#include "platform/automation/Activator.h"
#include "platform/automation/EventConnection.h"
#include "platform/automation/ServerLibrary.h"
#include "platform/doubles/MemoryRegistry.h"
#include "tests/ftp/ScriptedFtpPeer.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

using namespace platform::automation;
using kelvane::Variant;
using kelvane::test::errorNumberOf;

namespace {

QString libraryPath() { return kelvane::test::buildPath(QStringLiteral("ftp/libcorvane.so")); }

// Keeps every event by name, with its arguments as texts.
class RecordingSink : public EventSink {
public:
    QStringList heard;
    void onEvent(DispId, const QString& name, QList<Variant>& arguments) override
    {
        QStringList texts;
        for (const Variant& argument : arguments)
            texts << argument.toString();
        heard << name + u' ' + texts.join(u'|');
    }
};

} // namespace

TEST(CorvaneLibrary, RegistersTheControlAndServesItByProgId)
{
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    platform::ScopedService<Activator> activator;
    registerServerLibrary(libraryPath());
    const QString classKey =
        QStringLiteral("CLSID\\") + registryText(kelvane::ftp::typeLibrary().findClass(QStringLiteral("FTP"))->id);
    EXPECT_EQ(registry->queryValue(platform::HKEY_CLASSES_ROOT, QStringLiteral("FTP.FTPCtrl.3\\CLSID"), {}),
              registryText(kelvane::ftp::typeLibrary().findClass(QStringLiteral("FTP"))->id));
    EXPECT_EQ(registry->queryValue(platform::HKEY_CLASSES_ROOT, classKey + QStringLiteral("\\MiscStatus\\1"), {}),
              QStringLiteral("132497"));
    {
        kelvane::test::ScriptedFtpPeer peer(QStringLiteral("multiline-greeting"));
        const DispatchObject ftp = activator->createObject(QStringLiteral("FTP.FTPCtrl.3"));
        auto sink = std::make_shared<RecordingSink>();
        const auto connection = ftp.advise(sink);

        EXPECT_EQ(ftp.get(9), Variant(qint32(21)));
        EXPECT_EQ(ftp.get(QStringLiteral("SocketHandle")), Variant(qint32(-1)));
        EXPECT_EQ(errorNumberOf([&] { ftp.put(17, qint16(16)); }), 380);
        EXPECT_EQ(errorNumberOf([&] { ftp.get(QStringLiteral("Command")); }), kelvane::err::WrongNumberOfArguments);

        ftp.put(QStringLiteral("WinsockLoaded"), true);
        ftp.put(8, QStringLiteral("127.0.0.1"));
        ftp.put(QStringLiteral("RemotePort"), qint32(peer.port()));
        ftp.put(QStringLiteral("User"), QStringLiteral("kelvane"));
        ftp.put(QStringLiteral("Password"), QStringLiteral("secret"));
        ftp.put(QStringLiteral("TransferMode"), qint16(2));
        ftp.put(QStringLiteral("Action"), qint16(2));
        EXPECT_EQ(ftp.get(18), Variant(QStringLiteral("200 Type set to I")));
        EXPECT_EQ(peer.problems(), QStringList());
        EXPECT_TRUE(sink->heard.contains(QStringLiteral("PITrail 0|USER kelvane"))) << sink->heard.join(u'\n').toStdString();
    }
    unregisterServerLibrary(libraryPath());
    EXPECT_EQ(registry->keys(), QStringList());
}
