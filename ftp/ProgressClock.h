#pragma once

#include <QElapsedTimer>
#include <chrono>

namespace kelvane::ftp {

// The time since anything last moved on a control's connections: bytes received or sent, a
// connection made. A wait that sees nothing move for the limit gives up.
class ProgressClock {
public:
    // Long enough for any server that still works, short enough that a dead one is noticed.
    static constexpr std::chrono::milliseconds DefaultLimit = std::chrono::seconds(120);

    ProgressClock() { m_since.start(); }

    void setLimit(std::chrono::milliseconds limit) { m_limit = limit; }
    void progressed() { m_since.restart(); }
    bool expired() const { return m_since.elapsed() >= m_limit.count(); }

private:
    QElapsedTimer m_since;
    std::chrono::milliseconds m_limit = DefaultLimit;
};

} // namespace kelvane::ftp
