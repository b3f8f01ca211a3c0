// The HTTPS control as its hosts meet it: properties and their refusals, URLs taken apart,
// saved properties, the About box.
#include "https/AboutDialog.h"
#include "https/HTTPS.h"
#include "https/PlexantResources.h"
#include "https/VariantArray.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/https/HttpsTestSupport.h"
#include "tests/https/ScriptedPeer.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform::automation;
using kelvane::Variant;
using kelvane::plexant::HTTPS;
using kelvane::plexant::VariantArray;
using kelvane::test::EventLog;
using kelvane::test::raisedBy;
using kelvane::test::raisedCode;
using kelvane::test::ScriptedPeer;

namespace {

Variant bytes(std::initializer_list<Variant> elements)
{
    auto array = std::make_shared<VariantArray>();
    array->elements = elements;
    return Variant::fromObject(array);
}

} // namespace

TEST(HttpsControl, StartsWithItsDefaults)
{
    HTTPS control;
    EXPECT_EQ(control.URLScheme(), QStringLiteral("https"));
    EXPECT_EQ(control.URLPort(), 443);
    EXPECT_EQ(control.URLPath(), QStringLiteral("/"));
    EXPECT_EQ(control.HTTPVersion(), QStringLiteral("HTTP/1.0"));
    EXPECT_EQ(control.UserAgent(), QStringLiteral("Plexant/5.0"));
    EXPECT_EQ(control.FirewallPort(), 80);
    EXPECT_EQ(control.ProxyPort(), 80);
    EXPECT_EQ(control.MaxTransferredData(), 4096);
    EXPECT_EQ(control.SSLCertStore(), QStringLiteral("MY"));
    EXPECT_EQ(control.SSLProvider(), QStringLiteral("Microsoft Unified Security Protocol Provider"));
    EXPECT_EQ(control.SSLCipherStrength(), 40);
    EXPECT_EQ(control.SSLEnabledProtocols(), 255);
    EXPECT_EQ(control.SocketHandle(), -1);
    EXPECT_TRUE(control.WinsockLoaded());
    EXPECT_TRUE(control.UseWinInetCookies());
    EXPECT_EQ(control.WinsockStatus(), QStringLiteral("Running"));
}

TEST(HttpsControl, RefusesWhatItMustWithItsOwnErrors)
{
    HTTPS control;
    control.setUserMode(false);
    const auto designTime = raisedBy([&] { control.StatusLine(); });
    EXPECT_EQ(designTime.number, 394);
    EXPECT_EQ(designTime.description, QStringLiteral("Property is runtime only (no supported in design time)."));
    EXPECT_EQ(designTime.helpContext, 0u);
    EXPECT_EQ(raisedBy([&] { control.URL(); }).number, 0); // saved properties read at design time too
    control.setUserMode(true);

    const auto readOnly = raisedBy([&] { control.setStatusLine(QStringLiteral("x")); });
    EXPECT_EQ(readOnly.number, 383);
    EXPECT_EQ(readOnly.description, QStringLiteral("Property is read-only."));
    EXPECT_EQ(readOnly.helpContext, 21843u);

    const auto outOfRange = raisedBy([&] { control.setAction(6); });
    EXPECT_EQ(outOfRange.number, 380);
    EXPECT_EQ(outOfRange.description, QStringLiteral("Value is out of range."));
    EXPECT_EQ(outOfRange.helpContext, 21802u);
    EXPECT_EQ(raisedBy([&] { control.setFirewallType(4); }).number, 380);
    EXPECT_EQ(raisedBy([&] { control.setProxyPort(65536); }).number, 380);
    // No limit is 0, not a negative number.
    const auto negativeLimit = raisedBy([&] { control.setMaxTransferredData(-1); });
    EXPECT_EQ(negativeLimit.number, 380);
    EXPECT_EQ(negativeLimit.helpContext, 21823u);
    EXPECT_EQ(control.MaxTransferredData(), 4096);

    // Cookies by 1-based index.
    control.AddCookie(QStringLiteral("a"), QStringLiteral("1"));
    control.setCookieCount(2);
    EXPECT_EQ(control.CookieName(2), QString());
    control.setCookieValue(2, QStringLiteral("v"));
    EXPECT_EQ(control.CookieValue(2), QStringLiteral("v"));
    EXPECT_EQ(raisedBy([&] { control.CookieName(0); }).number, 381);
    const auto badIndex = raisedBy([&] { control.setCookieName(3, QStringLiteral("x")); });
    EXPECT_EQ(badIndex.number, raisedCode(156));
    EXPECT_EQ(badIndex.description, QStringLiteral("Invalid cookie index (out of range)."));

    // A URL with a line break or a port beyond 16 bits is refused, and changes nothing.
    control.setURL(QStringLiteral("http://host.test/"));
    EXPECT_EQ(raisedBy([&] { control.setURL(QStringLiteral("http://evil.test/\r\nX: y")); }).number, raisedCode(153));
    EXPECT_EQ(raisedBy([&] { control.setURL(QStringLiteral("http://host.test:70000/")); }).number, raisedCode(153));
    EXPECT_EQ(control.URL(), QStringLiteral("http://host.test/"));
    EXPECT_EQ(control.URLServer(), QStringLiteral("host.test"));
    // Nor one with a blank or another character no URL may hold, nor such a path set alone.
    for (const char* url : {"http://host.test/a b", "http://host.test/a\tb", "http://host.test/a\x7f"})
        EXPECT_EQ(raisedBy([&] { control.setURL(QString::fromLatin1(url)); }).number, raisedCode(153)) << url;
    ScriptedPeer peer(QStringLiteral("never-answers"));
    control.setTimeout(2);
    control.setURL(peer.url());
    control.setURLPath(QStringLiteral("/a b HTTP/1.1"));
    EXPECT_EQ(raisedBy([&] { control.setAction(HTTPS::httpGet); }).number, raisedCode(153));
}

TEST(HttpsControl, TakesUrlsApart)
{
    HTTPS control;
    control.setURL(QStringLiteral("https://ann:pw@secure.test:8443/x?y"));
    EXPECT_EQ(control.URLScheme(), QStringLiteral("https"));
    EXPECT_EQ(control.User(), QStringLiteral("ann"));
    EXPECT_EQ(control.Password(), QStringLiteral("pw"));
    EXPECT_EQ(control.Authorization(), QStringLiteral("Basic YW5uOnB3"));
    EXPECT_EQ(control.URLServer(), QStringLiteral("secure.test"));
    EXPECT_EQ(control.URLPort(), 8443);
    EXPECT_EQ(control.URLPath(), QStringLiteral("/x?y"));

    // Another server forgets the credentials.
    control.setURL(QStringLiteral("http://plain.test"));
    EXPECT_EQ(control.URLPort(), 80);
    EXPECT_EQ(control.URLPath(), QStringLiteral("/"));
    EXPECT_EQ(control.User(), QString());
    EXPECT_EQ(control.Authorization(), QString());

    // Without a scheme: the default one, and the server stays.
    control.setURL(QStringLiteral("plain.test/docs/a.html"));
    EXPECT_EQ(control.URLScheme(), QStringLiteral("https"));
    EXPECT_EQ(control.URLPort(), 443);
    EXPECT_EQ(control.URLServer(), QStringLiteral("plain.test"));
    EXPECT_EQ(control.URLPath(), QStringLiteral("/"));

    control.setUser(QStringLiteral("u"));
    control.setPassword(QString());
    EXPECT_EQ(control.Authorization(), QStringLiteral("Basic dTo="));
    control.setUser(QString());
    EXPECT_EQ(control.Authorization(), QString());

    control.ResetHeaders();
    EXPECT_EQ(control.URL(), QString());
    EXPECT_EQ(control.URLServer(), QString());
    EXPECT_EQ(control.UserAgent(), QStringLiteral("Plexant/5.0"));
}

TEST(HttpsControl, ProxyModeAndFirewallTypeSetTheFirewall)
{
    HTTPS control;
    control.setFirewallType(HTTPS::fwSOCKS4);
    EXPECT_EQ(control.FirewallPort(), 1080);
    control.setProxySSL(HTTPS::psTunnel);
    EXPECT_EQ(control.FirewallType(), HTTPS::fwTunnel);
    EXPECT_EQ(control.FirewallPort(), 80);
    control.setProxySSL(HTTPS::psAutomatic);
    EXPECT_EQ(control.FirewallType(), HTTPS::fwNone);
    EXPECT_EQ(control.FirewallPort(), 80);
    control.setFirewallHost(QStringLiteral("10.1.2.3"));
    EXPECT_EQ(control.FirewallHost(), QStringLiteral("10.1.2.3"));
    control.setFirewallUser(QString(300, QLatin1Char('u')));
    EXPECT_EQ(control.FirewallUser().size(), 255);
}

TEST(HttpsControl, ByteFormsTakeOnlyOneDimensionalByteArrays)
{
    HTTPS control;
    EXPECT_TRUE(control.PostDataB().isEmpty());
    control.setPostDataB(bytes({Variant(qint16(0)), Variant(qint16(65)), Variant(qint32(255))}));
    EXPECT_EQ(control.PostData(), QString::fromLatin1("\0A\xFF", 3));
    const auto array = control.PostDataB().object<VariantArray>();
    ASSERT_TRUE(array);
    EXPECT_EQ(array->elements.size(), 3);
    EXPECT_EQ(array->elements.at(2), Variant(qint16(255)));

    const auto notAnArray = raisedBy([&] { control.setFirewallDataB(QStringLiteral("text")); });
    EXPECT_EQ(notAnArray.number, 380);
    EXPECT_EQ(notAnArray.description, QStringLiteral("Property accepts only one-dimensional byte arrays."));
    EXPECT_EQ(raisedBy([&] { control.setPostDataB(bytes({Variant(qint16(256))})); }).number, 380);
    EXPECT_EQ(raisedBy([&] { control.setTransferredDataB({}); }).number, 383);
}

TEST(HttpsControl, SavedPropertiesComeBackWithoutTheSideEffectsOfTheirWrites)
{
    HTTPS saved;
    saved.setProxyServer(QStringLiteral("proxy.test"));
    saved.setProxySSL(HTTPS::psTunnel); // the firewall becomes a tunnel on port 80
    saved.setFirewallPort(3128);
    saved.setTimeout(7);
    saved.setUserAgent(QStringLiteral("Agent/1"));
    saved.setURL(QStringLiteral("https://u:p@server.test:444/a"));
    PropertyBag bag;
    saved.WriteProperties(bag);
    EXPECT_FALSE(bag.contains(QStringLiteral("Accept"))); // defaults are not kept

    HTTPS loaded;
    loaded.ReadProperties(PropertyBag::fromText(bag.toText()));
    EXPECT_EQ(loaded.ProxySSL(), HTTPS::psTunnel);
    EXPECT_EQ(loaded.FirewallType(), HTTPS::fwTunnel);
    EXPECT_EQ(loaded.FirewallPort(), 3128);
    EXPECT_EQ(loaded.Timeout(), 7);
    EXPECT_EQ(loaded.UserAgent(), QStringLiteral("Agent/1"));
    EXPECT_EQ(loaded.URLPort(), 444);
    EXPECT_EQ(loaded.Password(), QStringLiteral("p"));
    EXPECT_EQ(loaded.Authorization(), QStringLiteral("Basic dTpw"));
}

TEST(HttpsControl, ActionsRefuseWhileOneRunsAndFailWithoutSockets)
{
    {
        ScriptedPeer peer(QStringLiteral("headers-then-hang"));
        HTTPS control;
        EventLog log(control);
        kelvane::test::RaisedError busy;
        log.onHeader = [&] {
            busy = raisedBy([&] { control.Post(peer.url()); });
            control.Interrupt();
        };
        EXPECT_EQ(raisedBy([&] { control.Get(peer.url()); }).number, raisedCode(301));
        EXPECT_EQ(busy.number, raisedCode(143));
        EXPECT_EQ(busy.description, QStringLiteral("Busy performing current action."));
        EXPECT_EQ(busy.helpContext, 41806u);
    }
    HTTPS control;
    control.setWinsockLoaded(false);
    const auto unloaded = raisedBy([&] { control.Get(QStringLiteral("http://127.0.0.1/")); });
    EXPECT_EQ(unloaded.number, raisedCode(102));
    EXPECT_EQ(unloaded.description, QStringLiteral("The RemoteHost address is invalid (0.0.0.0)."));
    EXPECT_EQ(raisedBy([&] { control.Get(QStringLiteral("http:///")); }).description,
              QStringLiteral("No server specified in URL"));
    EXPECT_EQ(raisedBy([&] { control.Get(QStringLiteral("ftp://files.test/")); }).number, raisedCode(153));
}

TEST(HttpsControl, LooksLikeItsToolboxPictureAtDesignTime)
{
    const QImage picture = kelvane::plexant::toolboxImage(101);
    EXPECT_EQ(picture.size(), QSize(16, 15));
    EXPECT_TRUE(kelvane::plexant::toolboxImage(102).isNull());
    EXPECT_EQ(kelvane::plexant::designExtentHimetric(96), QSize(741, 741));

    QImage canvas(28, 28, QImage::Format_RGB32);
    canvas.fill(Qt::gray);
    QPainter painter(&canvas);
    kelvane::plexant::paintDesignTime(painter, canvas.rect().adjusted(0, 0, -1, -1));
    painter.end();
    EXPECT_EQ(canvas.pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(canvas.pixelColor(6 + 6, 7 + 1), picture.pixelColor(6, 1));
}

TEST(HttpsAboutBox, ShowsTheProductAndTellsWhenItsHelpIsMissing)
{
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    QString title;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<kelvane::plexant::AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            text += label->text();
        dialog->buttons().button(QDialogButtonBox::Help)->click();
        dialog->accept();
    });
    HTTPS control;
    control.AboutBox();
    EXPECT_EQ(title, QStringLiteral("About Plexant HTTPS Control..."));
    EXPECT_EQ(text, QStringLiteral("Plexant HTTPS Control Version 5.0  [Build 516]"));
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_TRUE(ui->messageBoxes.front().text.contains(QStringLiteral("nbkssl.chm")));
}
