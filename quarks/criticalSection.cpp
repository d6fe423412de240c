#include "quarks/criticalSection.h"

#include <new>

namespace Bramble {

namespace {

constexpr int kSectionOptions = SEM_Q_PRIORITY | SEM_DELETE_SAFE | SEM_INVERSION_SAFE;

} // namespace

CkrSyncObject::~CkrSyncObject() = default;

void CkrSyncObject::SetPumpMsgs(bool pump) {
    pumpMsgs = pump;
}

CkrCS::CkrCS() : section(new (std::nothrow) tSection{semMCreate(kSectionOptions), {0}, 0}) {}

CkrCS::~CkrCS() {
    if (section != nullptr) {
        if (section->semaphore != nullptr) {
            semDelete(section->semaphore);
        }
        delete section;
    }
}

// The kernel semaphore is taken by the outermost Lock only: the holder's
// further Locks just count, so a bag filled under its batch lock does not
// go to the kernel for every property.
int32_t CkrCS::Lock(int32_t /*timeout*/) {
    if (!IsValid()) {
        return 0;
    }
    // The owner word needs no ordering of its own: the semaphore orders the
    // holders, and a task only ever finds its own id there while it holds.
    const TASK_ID self = taskIdSelf();
    if (section->owner.load(std::memory_order_relaxed) == self) {
        section->count += 1;
        return 1;
    }
    if (semTake(section->semaphore, WAIT_FOREVER) != OK) {
        return 0;
    }
    section->count = 1;
    section->owner.store(self, std::memory_order_relaxed);
    return 1;
}

void CkrCS::Unlock() {
    if (!IsValid() || section->owner.load(std::memory_order_relaxed) != taskIdSelf()) {
        return;
    }
    section->count -= 1;
    if (section->count == 0) {
        section->owner.store(0, std::memory_order_relaxed);
        semGive(section->semaphore);
    }
}

} // namespace Bramble
