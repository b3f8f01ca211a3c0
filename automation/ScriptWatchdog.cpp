#include "automation/ScriptWatchdog.h"

#include <QJSEngine>

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

ScriptWatchdog::ScriptWatchdog(QJSEngine& engine, std::chrono::milliseconds limit, qint64 memoryLimit)
    : m_engine(engine)
    , m_limit(limit)
    , m_memoryLimit(memoryLimit)
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
        m_deadline = std::chrono::steady_clock::now() + m_limit;
        m_residentAtArming = resident;
    }
    m_changed.notify_all();
}

void ScriptWatchdog::disarm()
{
    {
        const std::lock_guard lock(m_mutex);
        m_deadline.reset();
    }
    m_changed.notify_all();
}

bool ScriptWatchdog::tookTooMuchMemory() const
{
    if (m_residentAtArming < 0)
        return false;
    const qint64 resident = residentBytes();
    return resident >= 0 && resident - m_residentAtArming > m_memoryLimit;
}

void ScriptWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_deadline) {
            m_changed.wait(lock);
            continue;
        }
        const auto deadline = *m_deadline;
        const auto wake = m_residentAtArming >= 0 ? std::min(deadline, std::chrono::steady_clock::now() + kMemoryPoll)
                                                  : deadline;
        m_changed.wait_until(lock, wake);
        if (m_stopping || m_deadline != deadline)
            continue; // stopped, disarmed or armed again meanwhile
        Stop stop = Stop::None;
        if (std::chrono::steady_clock::now() >= deadline)
            stop = Stop::Time;
        else if (tookTooMuchMemory())
            stop = Stop::Memory;
        if (stop != Stop::None) {
            m_lastStop = stop;
            m_engine.setInterrupted(true);
            m_deadline.reset();
        }
    }
}

} // namespace kelvane
