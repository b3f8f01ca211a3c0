#include "automation/MacroClock.h"

namespace kelvane {

MacroClock::Clock::time_point MacroClock::now() const
{
    const std::lock_guard lock(m_mutex);
    const auto steady = Clock::now();
    return (m_stopped ? m_stoppedAt : steady) - m_stoppedFor;
}

bool MacroClock::setStopped(bool stopped)
{
    const std::lock_guard lock(m_mutex);
    const auto steady = Clock::now();
    const bool before = m_stopped;
    if (stopped == before)
        return before;
    if (stopped)
        m_stoppedAt = steady;
    else
        m_stoppedFor += steady - m_stoppedAt;
    m_stopped = stopped;
    return before;
}

} // namespace kelvane
