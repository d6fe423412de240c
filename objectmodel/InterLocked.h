// Reference-count changes. Counts are changed with atomic operations rather
// than under a process-wide mutex: many threads AddRef and Release bags and
// enumerators at once, and an atomic update never makes them queue.
//
// Counts saturate instead of wrapping. A count that reaches 0xFFFFFFFF can no
// longer be trusted, so it stays there and the object lives for good (a leak
// is the only outcome that cannot destroy it twice). A release at 0 has no
// reference to give back and changes nothing. The last release, too, leaves
// the count at 0xFFFFFFFF: the object is on its way out, and a stray AddRef
// and Release from another thread meanwhile can neither revive it nor start
// a second destruction.
#pragma once

#include <atomic>
#include <cstdint>

constexpr uint32_t kPinnedReferenceCount = 0xFFFFFFFF;

// Adds one and returns the new count.
uint32_t InterLockedIncrement(std::atomic<uint32_t>* count);

// Adds one only while the object is alive: not before its first reference
// (0) and not once its last release has pinned the count. True when it did:
// for a thread of the object's own that wants a reference while the host
// may be letting go of its last one.
bool InterLockedIncrementIfLive(std::atomic<uint32_t>* count);

// Takes one away and returns the new count (0 for the last release, though
// the stored count is then pinned). *releasedLast is set true only for that
// one call.
uint32_t InterLockedDecrement(std::atomic<uint32_t>* count, bool* releasedLast);
