#include "commands/ServiceNotifier.h"

#include <systemd/sd-daemon.h>

ServiceNotifier::ServiceNotifier() : m_lastAlive(std::chrono::steady_clock::now()) {
    uint64_t watchdogUsec = 0;
    if (sd_watchdog_enabled(0, &watchdogUsec) > 0 && watchdogUsec > 0) {
        m_interval = std::chrono::microseconds(watchdogUsec / 2);
    }
}

void ServiceNotifier::ready(const std::string& status) {
    sd_notify(0, ("READY=1\nSTATUS=" + status).c_str());
}

void ServiceNotifier::stopping() {
    sd_notify(0, "STOPPING=1");
}

void ServiceNotifier::alive() {
    const auto now = std::chrono::steady_clock::now();
    if (m_interval && now - m_lastAlive >= *m_interval) {
        sd_notify(0, "WATCHDOG=1");
        m_lastAlive = now;
    }
}

std::optional<std::chrono::steady_clock::time_point> ServiceNotifier::nextAlive() const {
    if (!m_interval) {
        return std::nullopt;
    }
    return m_lastAlive + *m_interval;
}
