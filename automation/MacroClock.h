#pragma once

#include <chrono>
#include <mutex>

namespace kelvane {

// The time macro code takes: the steady clock, stopped while the user answers a dialog (the
// user's thinking is not the macro's), and running again for macro code run under such a dialog.
// Read from any thread; stopped and started on the user-interface thread.
class MacroClock {
public:
    using Clock = std::chrono::steady_clock;

    Clock::time_point now() const;

    // Stops the clock (`Stop`) or runs it for as long as it lives; then it is as it was.
    template <bool Stop>
    class Held {
    public:
        explicit Held(MacroClock& clock) : m_clock(clock), m_before(clock.setStopped(Stop)) {}
        ~Held() { m_clock.setStopped(m_before); }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;

    private:
        MacroClock& m_clock;
        bool m_before;
    };
    using Stopped = Held<true>;
    using Running = Held<false>;

private:
    // Stops or runs the clock; whether it was stopped before.
    bool setStopped(bool stopped);

    mutable std::mutex m_mutex;
    bool m_stopped = false;
    Clock::time_point m_stoppedAt;
    Clock::duration m_stoppedFor {};
};

} // namespace kelvane
