#pragma once

#include "https/EngineEvents.h"
#include "https/WorkerChannel.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <thread>

namespace kelvane::plexant {

class HttpEngine;
struct WorkerRequest;
struct WorkerResult;

// The second transport: with UseWinInet set, actions started through the Action property
// (and Interrupt and ResetHeaders) run the whole exchange through the platform's HTTP
// client library (libcurl) on a worker thread, while the control's thread waits and pumps
// its messages. The worker's events reach the control's thread and are raised there. A
// worker is never killed: an interrupt or a time-out asks it to stop, and it stops at its
// next step.
//
// On this path the cookie list, Authorization and ProxyAuthorization are not sent (the
// library keeps its own cookies and builds its own credentials), TransferredData and
// TransferredHeaders are not filled, redirects are followed by the same rules as on the own
// layers, and only Header, StartTransfer, Transfer, EndTransfer and SSLStatus are raised.
class WinInetTransport {
public:
    WinInetTransport(HttpEngine& engine, EngineEvents& events);
    ~WinInetTransport();
    WinInetTransport(const WinInetTransport&) = delete;
    WinInetTransport& operator=(const WinInetTransport&) = delete;

    bool UseWinInetCookies = true;

    // Runs an action as RunAction does, on the worker.
    int RunActionOnWorker(int action);

    // The text of a transport error number (12001 and up); null for any other number.
    static QString errorText(int code);
    // The transport's security flags for the control's SSLSecurityFlags.
    static quint32 securityFlags(quint32 sslSecurityFlags);

private:
    WorkerRequest snapshot(int action) const;
    int waitForWorker(const std::shared_ptr<WorkerResult>& result);
    void stopWorker();

    HttpEngine& m_engine;
    EngineEvents& m_events;
    WorkerChannel m_channel;
    std::thread m_worker;
    std::shared_ptr<void> m_cookies; // the library's cookie store, shared by this control's transfers
};

} // namespace kelvane::plexant
