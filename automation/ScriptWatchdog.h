#pragma once

#include "automation/MacroClock.h"

#include <QtGlobal>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QJSEngine;

namespace kelvane {

// Stops a script that runs too long or takes too much memory: while armed, a thread of its own
// interrupts the engine once the time limit has passed on the macro clock since arming (the
// time the user spends answering a dialog is not counted), or once the memory the engine holds
// passes the memory limit.
//
// The engine offers no measure of its own heap: what it holds is taken as the growth of the
// program's resident memory while its runs were under way, summed over every run since the
// engine was made, less what the program gave back between runs. A run that ends above the
// limit counts as stopped for its memory too, however quickly it ended.
//
// Arming and disarming happen on the engine's thread; interrupting an engine is safe from any
// thread.
class ScriptWatchdog {
public:
    enum class Stop { None, Time, Memory };

    ScriptWatchdog(QJSEngine& engine, std::chrono::milliseconds limit, qint64 memoryLimit,
                   std::shared_ptr<const MacroClock> clock);
    ~ScriptWatchdog();
    ScriptWatchdog(const ScriptWatchdog&) = delete;
    ScriptWatchdog& operator=(const ScriptWatchdog&) = delete;

    std::chrono::milliseconds limit() const { return m_limit; }
    qint64 memoryLimit() const { return m_memoryLimit; }
    // Why the last run was stopped; None when it was not.
    Stop lastStop() const { return m_lastStop; }

    // Arms the watchdog for one run, and disarms it when it goes.
    class Run {
    public:
        explicit Run(ScriptWatchdog& watchdog) : m_watchdog(watchdog) { m_watchdog.arm(); }
        ~Run() { m_watchdog.disarm(); }
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

    private:
        ScriptWatchdog& m_watchdog;
    };

private:
    void arm();
    void disarm();
    void watch();
    // The memory the engine holds now, counting the run under way; -1 when it is not measured.
    qint64 heldBytes() const;

    QJSEngine& m_engine;
    const std::chrono::milliseconds m_limit;
    const qint64 m_memoryLimit;
    const std::shared_ptr<const MacroClock> m_clock;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<MacroClock::Clock::time_point> m_deadline; // on the macro clock
    qint64 m_residentAtArming = -1;
    qint64 m_residentAtDisarming = -1;
    qint64 m_heldBefore = 0; // what the runs before this one left the engine holding
    quint64 m_arming = 0;    // counts the runs armed
    std::atomic<Stop> m_lastStop {Stop::None};
    bool m_stopping = false;
    std::thread m_thread; // started last, joined first
};

} // namespace kelvane
