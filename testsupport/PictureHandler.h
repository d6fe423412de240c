// A notification handler that rebuilds the inventory from the notifications
// alone, and notes every notification that contradicts what it was told
// before: an item added while present, removed or changed while absent, or
// two calls at once (two refresh threads, or deliveries out of order). Names
// compare ignoring letter case, as the expert's do.
#pragma once

#include "HostNotificationHandler.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class PictureHandler : public HostNotificationHandler {
public:
    int32_t OnItemsChanged(IoxSysExpert2* expert, oxSysItemChangeKind change,
                           IoxSysEnumStringList* names) override;

    // The picture in ascending case-insensitive order, upper-cased.
    std::vector<std::string> picture();
    std::vector<std::string> contradictions();
    size_t changesChecked();

private:
    std::atomic<int> m_inCall{0};
    std::mutex m_mutex;
    std::vector<std::string> m_picture; // sorted, upper-cased
    std::vector<std::string> m_contradictions;
    size_t m_changesChecked = 0;
};
