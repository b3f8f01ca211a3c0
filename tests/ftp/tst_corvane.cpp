// The FTP control library as other programs meet it: registered through its own entry, the
// control created by ProgID, driven by dispatch identifier, its events heard by a sink.
#include "ftp/CorvaneResources.h"
#include "ftp/CorvaneTypeLibrary.h"
#include "platform/automation/Activator.h"
#include "platform/automation/EventConnection.h"
#include "platform/automation/ServerLibrary.h"
#include "platform/doubles/MemoryRegistry.h"
#include "tests/ftp/ScriptedFtpPeer.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QPainter>
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
    EXPECT_EQ(registry->queryValue(platform::HKEY_CLASSES_ROOT, classKey + QStringLiteral("\\ToolboxBitmap32"), {}),
              libraryPath() + QStringLiteral(", %1").arg(kelvane::ftp::kToolboxImage));
    {
        kelvane::test::ScriptedFtpPeer peer(QStringLiteral("multiline-greeting"));
        const DispatchObject ftp = activator->createObject(QStringLiteral("FTP.FTPCtrl.3"));
        auto sink = std::make_shared<RecordingSink>();
        const auto connection = ftp.advise(sink);

        EXPECT_EQ(ftp.get(9), Variant(qint32(21)));
        EXPECT_EQ(ftp.get(QStringLiteral("SocketHandle")), Variant(qint32(-1)));
        EXPECT_EQ(errorNumberOf([&] { ftp.put(17, qint16(16)); }), 380);
        // The framework's own refusals: get not supported (394), set not supported (383).
        EXPECT_EQ(errorNumberOf([&] { ftp.get(QStringLiteral("Command")); }), 394);
        for (const char* readOnly : {"LastReply", "WinsockInfo", "WinsockStatus", "LocalHost"})
            EXPECT_EQ(errorNumberOf([&] { ftp.put(QString::fromLatin1(readOnly), QStringLiteral("x")); }), 383)
                << readOnly;
        for (const char* readOnly : {"SocketHandle", "WinsockMaxSockets", "WinsockMaxDatagramSize"})
            EXPECT_EQ(errorNumberOf([&] { ftp.put(QString::fromLatin1(readOnly), qint32(1)); }), 383) << readOnly;

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

TEST(CorvaneResources, TheControlShowsItsPictureAtDesignTime)
{
    const QImage toolbox = kelvane::ftp::bitmapResource(kelvane::ftp::kToolboxImage);
    EXPECT_EQ(toolbox.size(), QSize(16, 15));
    const QImage design = kelvane::ftp::bitmapResource(kelvane::ftp::kDesignTimeImage);
    EXPECT_EQ(design.size(), QSize(28, 28));
    EXPECT_TRUE(kelvane::ftp::bitmapResource(2).isNull());
    EXPECT_EQ(kelvane::ftp::designExtentHimetric(96), QSize(741, 741));

    // The picture fills whatever bounds the container gives.
    QImage canvas(56, 56, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);
    QPainter painter(&canvas);
    kelvane::ftp::paintDesignTime(painter, canvas.rect());
    painter.end();
    EXPECT_EQ(canvas.pixelColor(0, 0), design.pixelColor(0, 0));
    EXPECT_EQ(canvas.pixelColor(55, 55), design.pixelColor(27, 27));
    EXPECT_EQ(canvas.pixelColor(29, 13), design.pixelColor(14, 6));
}
