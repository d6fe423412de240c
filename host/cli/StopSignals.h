// What ends camexpert watch and publish from outside: SIGINT (Ctrl-C),
// SIGTERM and SIGHUP. The loop sleeps on a pipe; a stop signal or a new
// notification writes a byte into it.
#pragma once

#include <signal.h>

#include <chrono>
#include <optional>

class WakeupPipe {
public:
    WakeupPipe(); // throws HostError when no pipe can be made
    ~WakeupPipe();

    WakeupPipe(const WakeupPipe&) = delete;
    WakeupPipe& operator=(const WakeupPipe&) = delete;

    // Never blocks, and may be called from a signal handler.
    void wake() const;

    // Sleeps until woken or until the deadline, then empties the pipe.
    void wait(std::optional<std::chrono::steady_clock::time_point> deadline) const;

    int writeEnd() const { return m_fds[1]; }

private:
    int m_fds[2] = {-1, -1};
};

// While it lives, the first stop signal asks for a stop and wakes the
// pipe; a second one ends the program at once, as without this object. A
// signal that was ignored when the program started stays ignored.
class StopSignals {
public:
    explicit StopSignals(const WakeupPipe& wakeup);
    ~StopSignals();

    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool requested() const;
};

// While it lives, the stop signals are held back on the calling thread, and
// on every thread it starts meanwhile: those threads never see them. Held
// signals arrive when it ends.
class StopSignalsHeldBack {
public:
    StopSignalsHeldBack();
    ~StopSignalsHeldBack();

    StopSignalsHeldBack(const StopSignalsHeldBack&) = delete;
    StopSignalsHeldBack& operator=(const StopSignalsHeldBack&) = delete;

private:
    sigset_t m_previous;
};
