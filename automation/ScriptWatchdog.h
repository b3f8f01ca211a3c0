#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

class QJSEngine;

namespace kelvane {

// Stops a script that runs too long: while armed, a thread of its own interrupts the engine
// once the time limit has passed since arming. Arming and disarming happen on the engine's
// thread; interrupting an engine is safe from any thread.
class ScriptWatchdog {
public:
    ScriptWatchdog(QJSEngine& engine, std::chrono::milliseconds limit);
    ~ScriptWatchdog();
    ScriptWatchdog(const ScriptWatchdog&) = delete;
    ScriptWatchdog& operator=(const ScriptWatchdog&) = delete;

    std::chrono::milliseconds limit() const { return m_limit; }

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

    QJSEngine& m_engine;
    const std::chrono::milliseconds m_limit;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<std::chrono::steady_clock::time_point> m_deadline;
    bool m_stopping = false;
    std::thread m_thread; // started last, joined first
};

} // namespace kelvane
