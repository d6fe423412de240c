#include "objectmodel/InterLocked.h"

// A loop here is fine: only a thread of the object's own asks, and rarely.
bool InterLockedIncrementIfLive(std::atomic<uint32_t>* count) {
    uint32_t seen = count->load(std::memory_order_relaxed);
    while (seen != 0 && seen < kPinnedRangeStart) {
        if (count->compare_exchange_weak(seen, seen + 1, std::memory_order_relaxed)) {
            return true;
        }
    }
    return false;
}
