#pragma once

#include "platform/doubles/FixedClock.h"
#include "platform/doubles/FixedSystemInfo.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "platform/doubles/SequenceGuidSource.h"
#include "server/TavroSession.h"

#include <QCryptographicHash>
#include <QString>

namespace kelvane::test {

// The services a server exchange reaches: a fixed user "tester", GUIDs in sequence and
// message boxes answered and recorded.
struct ServerServices {
    platform::ScopedService<platform::Clock, platform::doubles::FixedClock> clock {0x01D9A1B2C3D4E5F6ULL};
    platform::ScopedService<platform::GuidSource, platform::doubles::SequenceGuidSource> guids;
    platform::ScopedService<platform::SystemInfo, platform::doubles::FixedSystemInfo> system;
    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
};

// The session-key digest worked out apart from the client: MD5 of the GUID, "TESTER" and s.
inline QString expectedKeyHash(const TavroSession& session, const QString& s)
{
    const QByteArray bytes = (session.ClientGUID() + QStringLiteral("TESTER") + s).toLatin1();
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper());
}

inline const QString kInvalidResponse =
    QStringLiteral("Invalid response from server, please contact knowledge server administrator");

} // namespace kelvane::test
