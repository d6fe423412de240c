#include "PictureHandler.h"

#include "HostEnumerations.h"

#include <algorithm>

int32_t PictureHandler::OnItemsChanged(IoxSysExpert2*, oxSysItemChangeKind change,
                                       IoxSysEnumStringList* names) {
    const bool alone = m_inCall.fetch_add(1) == 0;
    std::vector<std::string> told = namesIn(names);
    std::lock_guard<std::mutex> hold(m_mutex);
    if (!alone) {
        m_contradictions.push_back("two notifications at once");
    }
    for (const std::string& name : told) {
        const std::string key = upperCased(name);
        const auto place = std::lower_bound(m_picture.begin(), m_picture.end(), key);
        const bool present = place != m_picture.end() && *place == key;
        if (change == oxSysItemChangeKind_Added && !present) {
            m_picture.insert(place, key);
        } else if (change == oxSysItemChangeKind_Removed && present) {
            m_picture.erase(place);
        } else if (change != oxSysItemChangeKind_Changed || !present) {
            m_contradictions.push_back("kind " + std::to_string(int(change)) + " for " + name +
                                       (present ? " (present)" : " (absent)"));
        }
        ++m_changesChecked;
    }
    m_inCall.fetch_sub(1);
    return 0;
}

std::vector<std::string> PictureHandler::picture() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_picture;
}

std::vector<std::string> PictureHandler::contradictions() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_contradictions;
}

size_t PictureHandler::changesChecked() {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_changesChecked;
}
