// Reference-count changes. Counts are changed with atomic operations rather
// than under a process-wide mutex: many threads AddRef and Release bags and
// enumerators at once, and an atomic update never makes them queue.
//
// Every count at or above kPinnedRangeStart is pinned: the object lives for
// good (or is being destroyed) and no AddRef or Release can bring it back to
// the live range, so both are one atomic add or subtract with no retry
// loop. A pinned count is stored and reported as kPinnedReferenceCount, the
// middle of the pinned range, so that stray pairs from any number of
// threads move it around there but never out of it.
//
// A count that grows into the pinned range can no longer be trusted, so the
// object lives for good (a leak is the only outcome that cannot destroy it
// twice). A release at 0 has no reference to give back and changes nothing.
// The last release pins the count: the object is on its way out, and a stray
// AddRef and Release from another thread meanwhile can neither revive it nor
// start a second destruction.
#pragma once

#include <atomic>
#include <cstdint>

constexpr uint32_t kPinnedRangeStart = 0x80000000;
constexpr uint32_t kPinnedReferenceCount = 0xC0000000;

// Adds one and returns the new count (kPinnedReferenceCount once pinned).
inline uint32_t InterLockedIncrement(std::atomic<uint32_t>* count) {
    const uint32_t next = count->fetch_add(1, std::memory_order_relaxed) + 1;
    return next >= kPinnedRangeStart ? kPinnedReferenceCount : next;
}

// Adds one only while the object is alive: not before its first reference
// (0) and not once its last release has pinned the count. True when it did:
// for a thread of the object's own that wants a reference while the host
// may be letting go of its last one.
bool InterLockedIncrementIfLive(std::atomic<uint32_t>* count);

// Takes one away and returns the new count (0 for the last release, though
// the stored count is then pinned; kPinnedReferenceCount for a pinned one).
// *releasedLast is set true only for that one call.
inline uint32_t InterLockedDecrement(std::atomic<uint32_t>* count, bool* releasedLast) {
    *releasedLast = false;
    // Release ordering publishes this thread's writes to the thread that
    // deletes; the acquire on the last release sees them all.
    const uint32_t seen = count->fetch_sub(1, std::memory_order_acq_rel);
    if (seen == 1) {
        // Nothing takes the count from 0 but a caller error: an AddRef needs
        // a live reference, and the try-AddRef refuses 0.
        count->store(kPinnedReferenceCount, std::memory_order_relaxed);
        *releasedLast = true;
        return 0;
    }
    if (seen == 0) {
        count->fetch_add(1, std::memory_order_relaxed); // no reference was given back
        return 0;
    }
    return seen >= kPinnedRangeStart ? kPinnedReferenceCount : seen - 1;
}
