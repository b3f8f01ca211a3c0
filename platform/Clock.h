#pragma once

#include "platform/Service.h"

#include <QDateTime>
#include <QtGlobal>

namespace platform {

// The system clock.
class Clock {
public:
    virtual ~Clock() = default;
    // Current UTC time as a count of 100-nanosecond intervals since 1 January 1601.
    virtual quint64 utcFileTime() = 0;
    // Current local date and time.
    virtual QDateTime localNow() = 0;
};

class SystemClock : public Clock {
public:
    quint64 utcFileTime() override;
    QDateTime localNow() override;
};

// The file-time count of a moment (UTC).
quint64 fileTimeOf(const QDateTime& moment);

template <>
struct ServiceDefault<Clock> {
    static std::unique_ptr<Clock> create() { return std::make_unique<SystemClock>(); }
};

inline Clock& clock() { return Service<Clock>::get(); }

} // namespace platform
