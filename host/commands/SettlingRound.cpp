#include "commands/SettlingRound.h"

#include <algorithm>

namespace {

constexpr std::chrono::milliseconds kQuietPeriod{500};
constexpr std::chrono::seconds kRoundLimit{5};

} // namespace

void SettlingRound::begin(Clock::time_point now) {
    m_active = true;
    m_lastNew = now;
    m_deadline = now + kRoundLimit;
    m_topics.clear();
}

void SettlingRound::heard(const std::string& topic, Clock::time_point now) {
    if (m_topics.insert(topic).second) {
        m_lastNew = now;
    }
}

SettlingRound::Clock::time_point SettlingRound::end() const {
    return std::min(m_lastNew + kQuietPeriod, m_deadline);
}

bool SettlingRound::endsAt(Clock::time_point now) {
    if (!m_active || now < end()) {
        return false;
    }
    m_active = false;
    return true;
}
