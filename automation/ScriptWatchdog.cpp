#include "automation/ScriptWatchdog.h"

#include <QJSEngine>

#include <algorithm>
#include <fstream>
#include <unistd.h>

namespace kelvane {

namespace {

// How often a run's memory is looked at.
constexpr std::chrono::milliseconds kMemoryPoll {20};

// The program's resident memory in bytes; -1 when it cannot be read.
qint64 residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    long long resident = -1;
    if (!(statm >> pages >> resident) || resident < 0)
        return -1;
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

} // namespace

ScriptWatchdog::ScriptWatchdog(QJSEngine& engine, std::chrono::milliseconds limit, qint64 memoryLimit,
                               std::shared_ptr<const MacroClock> clock)
    : m_engine(engine)
    , m_limit(limit)
    , m_memoryLimit(memoryLimit)
    , m_clock(std::move(clock))
    , m_thread([this] { watch(); })
{
}

ScriptWatchdog::~ScriptWatchdog()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ScriptWatchdog::arm()
{
    const qint64 resident = m_memoryLimit > 0 ? residentBytes() : -1;
    m_lastStop = Stop::None;
    {
        const std::lock_guard lock(m_mutex);
        m_deadline = m_clock->now() + m_limit;
        // Memory the program gave back since the last run may be what the engine's runs took
        // (a document a macro opened, let go since): it no longer counts.
        if (resident >= 0 && m_residentAtDisarming >= 0 && resident < m_residentAtDisarming)
            m_heldBefore = std::max<qint64>(0, m_heldBefore - (m_residentAtDisarming - resident));
        m_residentAtArming = resident;
        ++m_arming;
    }
    m_changed.notify_all();
}

void ScriptWatchdog::disarm()
{
    const qint64 resident = m_residentAtArming >= 0 ? residentBytes() : -1;
    {
        const std::lock_guard lock(m_mutex);
        m_deadline.reset();
        if (m_residentAtArming >= 0 && resident >= 0)
            m_heldBefore = std::max<qint64>(0, m_heldBefore + resident - m_residentAtArming);
        m_residentAtArming = -1;
        m_residentAtDisarming = resident;
        // What the run left behind counts even when it ended before the watchdog looked.
        if (m_memoryLimit > 0 && m_heldBefore > m_memoryLimit && m_lastStop == Stop::None)
            m_lastStop = Stop::Memory;
    }
    m_changed.notify_all();
}

qint64 ScriptWatchdog::heldBytes() const
{
    if (m_residentAtArming < 0)
        return -1;
    const qint64 resident = residentBytes();
    return resident < 0 ? -1 : std::max<qint64>(0, m_heldBefore + resident - m_residentAtArming);
}

void ScriptWatchdog::watch()
{
    using Steady = MacroClock::Clock;
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_deadline) {
            m_changed.wait(lock);
            continue;
        }
        const auto deadline = *m_deadline;
        const quint64 arming = m_arming;
        // While the macro clock stands still, the deadline is looked at again as often.
        const auto left = std::max(deadline - m_clock->now(), Steady::duration::zero());
        auto wake = Steady::now() + left;
        if (m_residentAtArming >= 0)
            wake = std::min(wake, Steady::now() + kMemoryPoll);
        m_changed.wait_until(lock, wake);
        if (m_stopping || !m_deadline || m_arming != arming)
            continue; // stopped, disarmed or armed again meanwhile
        Stop stop = Stop::None;
        if (m_clock->now() >= deadline)
            stop = Stop::Time;
        else if (heldBytes() > m_memoryLimit)
            stop = Stop::Memory;
        if (stop != Stop::None) {
            m_lastStop = stop;
            m_engine.setInterrupted(true);
            m_deadline.reset();
        }
    }
}

} // namespace kelvane
