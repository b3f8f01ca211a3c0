#pragma once

#include "ftp/ProgressClock.h"
#include "platform/sockets/NotificationWindow.h"
#include "platform/sockets/SocketLayer.h"

#include <QObject>
#include <QVariant>
#include <chrono>
#include <memory>

namespace kelvane::ftp {

class CWsockConn;

// The base of a socket control: its hidden notification window, the socket layer's
// properties, the waits that keep the thread's messages flowing while an operation blocks
// its caller, and the turning of result codes into the errors its callers see.
//
// Read-only properties refuse writes with the framework's "set not supported" error (383).
class CWsockCtrl : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString WinsockInfo READ WinsockInfo WRITE refuseWrite)
    Q_PROPERTY(QString WinsockStatus READ WinsockStatus WRITE refuseWrite)
    Q_PROPERTY(QString WinsockPath READ WinsockPath WRITE setWinsockPath)
    Q_PROPERTY(bool WinsockLoaded READ WinsockLoaded WRITE setWinsockLoaded)
    Q_PROPERTY(qint32 WinsockMaxSockets READ WinsockMaxSockets WRITE refuseWrite)
    Q_PROPERTY(qint32 WinsockMaxDatagramSize READ WinsockMaxDatagramSize WRITE refuseWrite)
    Q_PROPERTY(QString LocalHost READ LocalHost WRITE refuseWrite)

public:
    // Socket notifications to the hidden window.
    static constexpr quint32 SocketMessage = 1125;
    // How long one wait step sleeps when nothing arrives.
    static constexpr int PollMilliseconds = 20;

    // The socket layer that the controls of this library share in the process.
    static platform::sockets::SocketLayer& socketLayer();

    ~CWsockCtrl() override;

    QString WinsockInfo() const;
    QString WinsockStatus() const;
    // Reading it is refused in design mode.
    QString WinsockPath() const;
    void setWinsockPath(const QString& path);
    // True while this control holds the socket layer loaded. Setting true loads it (once); a
    // failed load is not raised, the property just stays false. False releases it.
    bool WinsockLoaded() const;
    void setWinsockLoaded(bool loaded);
    qint32 WinsockMaxSockets() const;
    qint32 WinsockMaxDatagramSize() const;
    QString LocalHost() const;
    // Raises "set not supported" (383): the write of a read-only property.
    [[noreturn]] void refuseWrite(const QVariant& value = {}) const;

    // Whether the container runs the control (true) or designs with it; a few reads are
    // refused while it designs. A container without that notion runs it.
    bool userMode() const { return m_userMode; }
    void setUserMode(bool running) { m_userMode = running; }

    platform::sockets::WindowHandle windowHandle() const { return m_window->handle(); }
    bool windowExists() const { return m_window->exists(); }

    // One step of a wait: dispatches the next message of the thread, sleeping up to
    // `waitMilliseconds` for one (`idle` tells when none came). 1 to go on, 0 to stop: the
    // wait was interrupted or the hidden window is gone.
    int pumpMessages(int waitMilliseconds, bool* idle = nullptr);
    // Stops the waits of this control until the next exchange begins.
    void interruptWait();
    bool interruptRequested() const { return m_interruptRequested; }
    void clearInterrupt() { m_interruptRequested = false; }

    // Something moved on a connection (bytes in or out, a connection made). A wait that sees
    // nothing move for the no-progress limit fails with the socket time-out (10060).
    void noteProgress() { m_progress.progressed(); }
    bool progressStalled() const { return m_progress.expired(); }
    // Shortens the no-progress limit (two minutes); for tests, not part of the control's
    // interface.
    void setNoProgressLimit(std::chrono::milliseconds limit) { m_progress.setLimit(limit); }

    // Raises the error a result code stands for: nothing for 0; "Interrupted." (20302); out of
    // memory (7); a socket error as 15001 plus its number with its text; any other code with
    // the control connection's message.
    void reportResult(int result) const;

protected:
    explicit CWsockCtrl(QObject* parent = nullptr);

    // The connection whose message reportResult tells and which holds the socket layer.
    virtual CWsockConn& controlConnection() const = 0;
    // The hidden window's messages; a control routes its socket notifications here.
    virtual void windowMessage(const platform::sockets::WindowMessage& message);
    // Raises 394 in design mode.
    void requireRunMode() const;
    // Releases the socket layer if this control holds it, and destroys the window.
    void releaseSocketLayer();
    void destroyWindow();

private:
    std::unique_ptr<platform::sockets::NotificationWindow> m_window;
    ProgressClock m_progress;
    bool m_interruptRequested = false;
    bool m_userMode = true;
};

} // namespace kelvane::ftp
