#pragma once

#include "platform/Clock.h"

namespace platform::doubles {

// A clock that stands still at the time the test sets.
class FixedClock : public Clock {
public:
    explicit FixedClock(quint64 fileTime = 0, QDateTime local = {}) : fileTime(fileTime), local(std::move(local)) {}
    quint64 utcFileTime() override { return fileTime; }
    QDateTime localNow() override { return local; }

    quint64 fileTime;
    QDateTime local;
};

} // namespace platform::doubles
