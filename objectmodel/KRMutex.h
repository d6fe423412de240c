// A non-recursive lock for very short critical sections, over a kernel
// mutual-exclusion semaphore. Taking it twice from the holder stops the
// system: that is a programming error no caller can recover from.
#pragma once

#include "kernel/sem.h"
#include "kernel/task.h"

#include <cstdint>

class CKRMutex {
public:
    // Throws std::bad_alloc when the record or its semaphore cannot be made.
    CKRMutex();
    virtual ~CKRMutex();

    CKRMutex(const CKRMutex&) = delete;
    CKRMutex& operator=(const CKRMutex&) = delete;

    void Lock();
    void Unlock();

private:
    struct Record {
        int32_t locked; // 1 while held
        TASK_ID owner;  // holder, 0 when free
        SEM_ID semaphore;
    };
    Record* m_record;
};
