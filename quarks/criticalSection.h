// Bramble::CkrCS: a recursive critical section behind the virtual lock
// interface Bramble::CkrSyncObject.
#pragma once

#include "kernel/sem.h"
#include "kernel/task.h"

#include <atomic>
#include <cstdint>

namespace Bramble {

class CkrSyncObject {
public:
    CkrSyncObject() = default;
    virtual ~CkrSyncObject();

    CkrSyncObject(const CkrSyncObject&) = delete;
    CkrSyncObject& operator=(const CkrSyncObject&) = delete;

    // Stores the flag; nothing in the system reads it.
    virtual void SetPumpMsgs(bool pump);

    // Takes the lock; 1 when it is held, 0 when it could not be taken.
    virtual int32_t Lock(int32_t timeout) = 0;

    virtual void Unlock() = 0;

protected:
    bool pumpMsgs = false;
};

class CkrCS : public CkrSyncObject {
public:
    // Creates the section's record and semaphore; IsValid() tells whether
    // both exist. The section reports nothing itself.
    CkrCS();
    ~CkrCS() override;

    // The timeout is ignored: waits without limit. The holder may lock
    // again; each Lock is paired with one Unlock. 0 when the section has no
    // semaphore.
    int32_t Lock(int32_t timeout) override;

    // Undoes one Lock of the holder; nothing for a task that does not hold
    // the section.
    void Unlock() override;

    bool IsValid() const { return section != nullptr && section->semaphore != nullptr; }

    // The holder, 0 when free, and its nesting count.
    TASK_ID Owner() const { return section != nullptr ? section->owner.load() : 0; }
    int32_t Count() const { return section != nullptr ? section->count : 0; }

private:
    struct tSection {
        SEM_ID semaphore;
        std::atomic<TASK_ID> owner; // read by non-holders to refuse their Unlock
        int32_t count;              // touched only by the holder
    };

    tSection* section;
};

} // namespace Bramble
