#include "cli/StopSignals.h"

#include "cli/HostError.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

volatile sig_atomic_t g_stopRequested = 0;
volatile sig_atomic_t g_wakeupFd = -1;

constexpr int kStopSignals[] = {SIGINT, SIGTERM,
                                SIGHUP}; // SIGHUP: the terminal or session went away
constexpr size_t kStopSignalCount = sizeof kStopSignals / sizeof kStopSignals[0];
struct sigaction g_previous[kStopSignalCount]; // the dispositions to restore

void onStopSignal(int) {
    const int savedErrno = errno;
    g_stopRequested = 1;
    const char byte = 0;
    if (g_wakeupFd >= 0) {
        (void)!write(g_wakeupFd, &byte, 1);
    }
    errno = savedErrno;
}

sigset_t stopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kStopSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

} // namespace

WakeupPipe::WakeupPipe() {
    if (pipe(m_fds) != 0) {
        throw HostError(std::string("Cannot make a pipe to wait on: ") + std::strerror(errno) +
                        ".");
    }
    for (int fd : m_fds) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

WakeupPipe::~WakeupPipe() {
    close(m_fds[0]);
    close(m_fds[1]);
}

void WakeupPipe::wake() const {
    const char byte = 0;
    (void)!write(m_fds[1], &byte, 1); // a full pipe is woken already
}

void WakeupPipe::wait(std::optional<std::chrono::steady_clock::time_point> deadline) const {
    int timeoutMs = -1;
    if (deadline) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            *deadline - std::chrono::steady_clock::now());
        timeoutMs = left.count() < 0 ? 0 : int(std::min<long long>(left.count(), 1 << 30));
    }
    pollfd readable{m_fds[0], POLLIN, 0};
    poll(&readable, 1, timeoutMs); // EINTR only ends the sleep early
    char drained[64];
    while (read(m_fds[0], drained, sizeof drained) > 0) {
    }
}

StopSignals::StopSignals(const WakeupPipe& wakeup) {
    g_stopRequested = 0;
    g_wakeupFd = wakeup.writeEnd();
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < kStopSignalCount; ++i) {
        sigaction(kStopSignals[i], nullptr, &g_previous[i]);
        if (g_previous[i].sa_handler != SIG_IGN) {
            sigaction(kStopSignals[i], &action, nullptr);
        }
    }
}

StopSignals::~StopSignals() {
    for (size_t i = 0; i < kStopSignalCount; ++i) {
        sigaction(kStopSignals[i], &g_previous[i], nullptr);
    }
    g_wakeupFd = -1;
}

bool StopSignals::requested() const {
    return g_stopRequested != 0;
}

StopSignalsHeldBack::StopSignalsHeldBack() {
    const sigset_t set = stopSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, &m_previous);
}

StopSignalsHeldBack::~StopSignalsHeldBack() {
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}
