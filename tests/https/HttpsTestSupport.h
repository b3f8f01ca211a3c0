#pragma once

#include "https/HTTPS.h"
#include "platform/automation/AutomationError.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace kelvane::test {

// The events of an HTTPS control as lines of text, in the order they were raised:
// "Connected 0 OK", "Header Content-Length: 5", "StartTransfer 1", "Transfer 1 5",
// "EndTransfer 1", "Disconnected 0 OK", "SSLStatus ...", "Error 280 ...". The body arriving
// through Transfer is kept whole in `body`; a handler may be set per event.
class EventLog {
public:
    explicit EventLog(plexant::HTTPS& control);

    QStringList lines;
    QByteArray body;
    // Lines of one kind only ("Header", "SSLStatus"...), without the event's name.
    QStringList of(const QString& event) const;

    // The verdict to give SSLServerAuthentication: nothing keeps the control's.
    std::optional<bool> acceptCertificate;
    std::function<void()> onHeader;
    std::function<void()> onTransfer;

private:
    plexant::HTTPS& m_control;
};

// Sets the control to reach its servers through a firewall of the type on 127.0.0.1.
void useFirewall(plexant::HTTPS& control, int type, quint16 port);

// The error number the control raises for an engine code.
inline int raisedCode(int code) { return code <= 10000 ? code + 20001 : code + 15001; }

// The automation error a call raises: its number and description; number 0 when none.
struct RaisedError {
    int number = 0;
    QString description;
    quint32 helpContext = 0;
};
RaisedError raisedBy(const std::function<void()>& call);

} // namespace kelvane::test
