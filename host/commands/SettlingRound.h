// When the retained messages of a picture, or the messages of a change, have
// settled. MQTT marks no end of them, so a round ends once no topic new to
// the round came for a quiet period. A live fleet never falls quiet (its
// heartbeats keep coming), so a topic heard again in the round does not
// start the quiet period again, and a round ends after a limit at the latest.
#pragma once

#include <chrono>
#include <set>
#include <string>

class SettlingRound {
public:
    using Clock = std::chrono::steady_clock;

    bool active() const { return m_active; }

    // A round begins: nothing heard in it yet.
    void begin(Clock::time_point now);

    // A message on the topic came now; a topic new to the round starts the
    // quiet period again.
    void heard(const std::string& topic, Clock::time_point now);

    // When the round ends, if nothing new comes before.
    Clock::time_point end() const;

    // Ends the round when its time has come; true then.
    bool endsAt(Clock::time_point now);

    // The topics heard in the current or the last round.
    const std::set<std::string>& topics() const { return m_topics; }

private:
    bool m_active = false;
    Clock::time_point m_lastNew;  // a topic new to the round
    Clock::time_point m_deadline; // the round ends by then whatever comes
    std::set<std::string> m_topics;
};
