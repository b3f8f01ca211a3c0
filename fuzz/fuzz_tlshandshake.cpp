// Feeds the input to the HTTPS control's own TLS layer as what a TLS server on 127.0.0.1 sends
// once the client's hello came: the server's hello, its certificates, key exchange and the
// rest of its side of the handshake, then the records of its reply. The first byte sets the
// client:
//   bit 0     TLS 1.2 only (else TLS 1.2 and 1.3)
//   bit 1     the host accepts whatever certificate the server shows (SSLServerAuthentication)
//   bit 2     unknown authorities and dates are not held against the server
//   bit 3     the host name is not checked
//   bits 4-5  the peer's bytes in 1, 2, 3 or 4 writes
// The client's random bytes are the same in every run (fuzz/FixedRandom.h), so its side of
// the handshake is too: the seeds named "established-" hold a server's whole side of a
// handshake made for that client, and reach the certificate's check by the host, the reply
// and the end of the session through the layer. A failing request raises the control's
// automation error, which is an outcome, not a fault; anything else is.
#include "FuzzSupport.h"
#include "fuzz/FixedRandom.h"
#include "fuzz/LoopbackPeer.h"
#include "https/HTTPS.h"
#include "platform/automation/AutomationError.h"

namespace {

using kelvane::plexant::HTTPS;

// The security flags of the layer: unknown authorities, dates, and the host name check.
constexpr qint32 kIgnoreAuthorityAndDate = 0x100 | 0x2000;
constexpr qint32 kSkipHostName = qint32(0x80000000u);
constexpr qint32 kTls12Only = 0x0C00;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    fuzz::useEmptyTrustStore();
    fuzz::fixedrandom::install();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    fuzz::ensureCoreApplication();
    static fuzz::LoopbackPeer peer;
    fuzz::fixedrandom::restart();

    const int settings = data[0];
    HTTPS control;
    control.setTimeout(2);
    control.setMaxTransferredData(4096);
    if ((settings & 1) != 0)
        control.setSSLEnabledProtocols(kTls12Only);
    control.setSSLSecurityFlags(((settings & 4) != 0 ? kIgnoreAuthorityAndDate : 0) | ((settings & 8) != 0 ? kSkipHostName : 0));
    const bool acceptAny = (settings & 2) != 0;
    QObject::connect(&control, &HTTPS::SSLServerAuthentication, &control,
                     [acceptAny](qint32&, QString&, QString&, QString&, bool& accept) { accept = accept || acceptAny; });

    const QByteArray flight = fuzz::bytesOf(data + 1, size - 1);
    const int writes = 1 + ((settings >> 4) & 3);
    peer.play([flight, writes](int connection) { fuzz::answer(connection, flight, writes, true); });
    try {
        control.Get(QStringLiteral("https://127.0.0.1:%1/fuzz").arg(peer.port()));
    } catch (const platform::automation::AutomationError&) {
    }
    peer.finish();
    return 0;
}
