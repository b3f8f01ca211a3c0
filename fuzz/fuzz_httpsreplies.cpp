// Feeds the input to the HTTPS control as what a server on 127.0.0.1 sends: an HTTP reply,
// or a firewall's answers (CONNECT tunnel, SOCKS4, SOCKS5 with a user name and password)
// followed by the reply. The first byte picks the peer, the second the request's settings:
//   byte 0 % 4:  0 a web server, 1 a tunnel's proxy, 2 a SOCKS4 firewall, 3 a SOCKS5 firewall
//   byte 1:      bit 0 HEAD instead of GET, bit 1 no limit on TransferredData,
//                bits 2-3 the peer's bytes in 1, 2, 3 or 4 writes
// The rest is sent as soon as the connection is taken, then the peer stops writing and reads
// what the client sends until it closes. A failing request raises the control's automation
// error, which is an outcome, not a fault; anything else is. Redirects are not followed, so
// the control never goes anywhere but the peer.
#include "FuzzSupport.h"
#include "fuzz/LoopbackPeer.h"
#include "https/HTTPS.h"
#include "platform/automation/AutomationError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    fuzz::ensureCoreApplication();
    static fuzz::LoopbackPeer peer;

    using kelvane::plexant::HTTPS;
    const int kind = data[0] % 4;
    const int settings = data[1];
    HTTPS control;
    control.setTimeout(2);
    control.setMaxTransferredData((settings & 2) != 0 ? 0 : 4096);
    QString url = QStringLiteral("http://127.0.0.1:%1/fuzz").arg(peer.port());
    if (kind != 0) {
        control.setFirewallType(kind == 1 ? HTTPS::fwTunnel : kind == 2 ? HTTPS::fwSOCKS4 : HTTPS::fwSOCKS5);
        control.setFirewallHost(QStringLiteral("127.0.0.1"));
        control.setFirewallPort(peer.port());
        control.setFirewallUser(QStringLiteral("user"));
        control.setFirewallPassword(QStringLiteral("secret"));
        // Names the firewall resolves itself: nothing is looked up here.
        url = kind == 3 ? QStringLiteral("http://*fuzz.test:8080/fuzz") : QStringLiteral("http://127.0.0.1:8080/fuzz");
    }

    const QByteArray reply(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    const int writes = 1 + ((settings >> 2) & 3);
    peer.play([reply, writes](int connection) { fuzz::answer(connection, reply, writes, false); });
    try {
        if ((settings & 1) != 0)
            control.Head(url);
        else
            control.Get(url);
    } catch (const platform::automation::AutomationError&) {
    }
    peer.finish();
    return 0;
}
