// The platform status record: locks, events and threads record in it the
// first failure they meet, with the component, source file and line.
#pragma once

#include <cstdint>

// Size of the record in its detailed form, the one that carries details.
constexpr uint32_t nKRZEPHS100_tStatus_kDebugSize1 = 164;

namespace nKRZEPH000 {

// The component under which the platform layer records its failures.
constexpr const char* kStatusComponent = "krvyrexSysapiExpert";

// Codes the platform layer records.
constexpr int32_t kStatusMutexNotCreated = -52000;
constexpr int32_t kStatusWaitTimedOut = -52007;
constexpr int32_t kStatusKernelObjectNotCreated = -52008;
constexpr int32_t kStatusWaitFailed = -52015;
constexpr int32_t kStatusThreadAlreadyRunning = -52016;

struct tStatus {
    uint32_t size;      // nKRZEPHS100_tStatus_kDebugSize1 for the detailed form
    int32_t code;       // 0 success, negative failure, positive warning
    char component[10]; // zero-terminated
    char file[101];     // zero-terminated
    uint32_t line;
    int32_t extra;   // 0 whenever the details are recorded
    char unused[36]; // up to the size of the detailed form

    // The detailed form with code 0 and every detail cleared.
    tStatus();

    // Clears code and details; keeps the size.
    void clear();

    // Records newCode when no code is held yet or a warning is to be
    // overridden by a failure: the first failure wins. When the code is
    // replaced and the record is in its detailed form, the component (cut to
    // 9 characters), the file (a path longer than 100 characters keeps its
    // first and last 49 around ".."), the line and extra = 0 go with it.
    // Null texts count as empty. Returns whether the code was replaced.
    bool record(int32_t newCode, const char* componentName, const char* fileName,
                uint32_t lineNumber);

    // Whether a failure (a negative code) is held.
    bool isFailure() const { return code < 0; }
};

static_assert(sizeof(tStatus) == nKRZEPHS100_tStatus_kDebugSize1,
              "the detailed form is 164 bytes on every target");

} // namespace nKRZEPH000
