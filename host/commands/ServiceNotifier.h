// What publish tells the service manager when systemd runs it (Type=notify):
// ready once the node's settled picture is on the broker, and alive on every
// turn of the publishing loop, within the watchdog period the unit sets.
// Outside systemd every call does nothing.
#pragma once

#include <chrono>
#include <optional>
#include <string>

class ServiceNotifier {
public:
    ServiceNotifier(); // reads the watchdog period from the environment

    void ready(const std::string& status);
    void stopping();

    // Feeds the watchdog when half its period passed since the last time.
    void alive();

    // When alive must be called next; none without a watchdog.
    std::optional<std::chrono::steady_clock::time_point> nextAlive() const;

private:
    std::optional<std::chrono::steady_clock::duration> m_interval; // half the watchdog period
    std::chrono::steady_clock::time_point m_lastAlive;
};
