#include "objectmodel/InterLocked.h"

uint32_t InterLockedIncrement(std::atomic<uint32_t>* count) {
    uint32_t seen = count->load(std::memory_order_relaxed);
    while (seen != kPinnedReferenceCount &&
           !count->compare_exchange_weak(seen, seen + 1, std::memory_order_relaxed)) {
    }
    return seen == kPinnedReferenceCount ? seen : seen + 1;
}

bool InterLockedIncrementIfLive(std::atomic<uint32_t>* count) {
    uint32_t seen = count->load(std::memory_order_relaxed);
    while (seen != 0 && seen != kPinnedReferenceCount) {
        if (count->compare_exchange_weak(seen, seen + 1, std::memory_order_relaxed)) {
            return true;
        }
    }
    return false;
}

uint32_t InterLockedDecrement(std::atomic<uint32_t>* count, bool* releasedLast) {
    *releasedLast = false;
    uint32_t seen = count->load(std::memory_order_relaxed);
    while (true) {
        if (seen == 0 || seen == kPinnedReferenceCount) {
            return seen;
        }
        // Release ordering publishes this thread's writes to the thread that
        // deletes; the acquire on the last release sees them all.
        const uint32_t next = seen == 1 ? kPinnedReferenceCount : seen - 1;
        if (count->compare_exchange_weak(seen, next, std::memory_order_acq_rel,
                                         std::memory_order_relaxed)) {
            *releasedLast = seen == 1;
            return seen - 1;
        }
    }
}
