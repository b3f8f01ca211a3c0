#include "automation/ScriptWatchdog.h"

#include <QJSEngine>

namespace kelvane {

ScriptWatchdog::ScriptWatchdog(QJSEngine& engine, std::chrono::milliseconds limit)
    : m_engine(engine)
    , m_limit(limit)
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
    {
        const std::lock_guard lock(m_mutex);
        m_deadline = std::chrono::steady_clock::now() + m_limit;
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

void ScriptWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (!m_deadline) {
            m_changed.wait(lock);
            continue;
        }
        const auto deadline = *m_deadline;
        if (m_changed.wait_until(lock, deadline) == std::cv_status::timeout && m_deadline == deadline) {
            m_engine.setInterrupted(true);
            m_deadline.reset();
        }
    }
}

} // namespace kelvane
