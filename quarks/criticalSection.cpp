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

int32_t CkrCS::Lock(int32_t /*timeout*/) {
    if (!IsValid() || semTake(section->semaphore, WAIT_FOREVER) != OK) {
        return 0;
    }
    section->count += 1;
    section->owner = taskIdSelf();
    return 1;
}

void CkrCS::Unlock() {
    if (!IsValid() || section->owner != taskIdSelf()) {
        return;
    }
    section->count -= 1;
    if (section->count == 0) {
        section->owner = 0;
    }
    semGive(section->semaphore);
}

} // namespace Bramble
