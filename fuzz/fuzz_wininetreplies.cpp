// Feeds the input to the HTTPS control's second transport (UseWinInet: the exchange runs
// through the HTTP client library on a worker thread) as what a server on 127.0.0.1 sends.
// The first byte sets the request:
//   bit 0     HEAD instead of GET
//   bit 1     through a proxy (the peer): the request names the server fuzz.test, which is
//             never looked up, as the proxy is asked for it
//   bit 2     https: the peer's bytes answer the TLS handshake (after the proxy's reply to
//             CONNECT, through a proxy)
//   bit 3     the body goes into a local file
//   bits 4-5  the peer's bytes in 1, 2, 3 or 4 writes
// The rest is sent once the request came, then the peer stops writing and reads what the
// client sends until it closes. A failing request raises the control's automation error,
// which is an outcome, not a fault; anything else is. Redirects are not followed, so the
// transport never goes anywhere but the peer.
#include "FuzzSupport.h"
#include "fuzz/LoopbackPeer.h"
#include "https/HTTPS.h"
#include "platform/automation/AutomationError.h"

namespace {

using kelvane::plexant::HTTPS;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    fuzz::useEmptyTrustStore();
    // The proxy is the one the control names, never one of the environment's.
    for (const char* variable : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"})
        qunsetenv(variable);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    fuzz::ensureCoreApplication();
    static fuzz::LoopbackPeer peer;

    const int settings = data[0];
    const bool viaProxy = (settings & 2) != 0;
    const QString scheme = (settings & 4) != 0 ? QStringLiteral("https") : QStringLiteral("http");
    HTTPS control;
    control.setUseWinInet(true);
    control.setTimeout(2);
    if (viaProxy) {
        control.setProxyServer(QStringLiteral("127.0.0.1"));
        control.setProxyPort(peer.port());
        control.setURL(scheme + QStringLiteral("://fuzz.test/fuzz"));
    } else {
        control.setURL(scheme + QStringLiteral("://127.0.0.1:%1/fuzz").arg(peer.port()));
    }
    if ((settings & 8) != 0)
        control.setLocalFile(fuzz::scratchFolder() + QStringLiteral("/body"));

    const QByteArray reply = fuzz::bytesOf(data + 1, size - 1);
    const int writes = 1 + ((settings >> 4) & 3);
    peer.play([reply, writes](int connection) { fuzz::answer(connection, reply, writes, true); });
    try {
        control.setAction((settings & 1) != 0 ? HTTPS::httpHead : HTTPS::httpGet);
    } catch (const platform::automation::AutomationError&) {
    }
    peer.finish();
    return 0;
}
