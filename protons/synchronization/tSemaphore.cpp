#include "protons/synchronization/tSemaphore.h"

namespace nKRZEPH000 {

namespace {

// Failures are recorded where the platform's synchronization primitives
// record theirs.
constexpr const char* kRecordedFile = "quarks/synchronization";
constexpr uint32_t kLineNotCreated = 611;

constexpr int kMutexOptions = SEM_Q_PRIORITY | SEM_INVERSION_SAFE;

} // namespace

void tSemaphore::create(tStatus& status) {
    destroy();
    semaphore = semMCreate(kMutexOptions);
    if (semaphore == nullptr) {
        status.record(kStatusMutexNotCreated, kStatusComponent, kRecordedFile, kLineNotCreated);
    }
}

bool tSemaphore::lock() {
    return semTake(semaphore, WAIT_FOREVER) == OK;
}

bool tSemaphore::unlock() {
    return semGive(semaphore) == OK;
}

void tSemaphore::destroy() {
    if (semaphore != nullptr) {
        semDelete(semaphore);
        semaphore = nullptr;
    }
}

} // namespace nKRZEPH000
