#include "platform/Clock.h"

#include <chrono>

namespace platform {

namespace {
// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr quint64 kUnixEpochInFileTime = 116444736000000000ULL;
} // namespace

quint64 fileTimeOf(const QDateTime& moment)
{
    const qint64 ms = moment.toMSecsSinceEpoch();
    return kUnixEpochInFileTime + static_cast<quint64>(ms) * 10000ULL;
}

quint64 SystemClock::utcFileTime()
{
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return kUnixEpochInFileTime + static_cast<quint64>(sinceEpoch / 100);
}

QDateTime SystemClock::localNow() { return QDateTime::currentDateTime(); }

} // namespace platform
