#include "objectmodel/KRMutex.h"

#include <cstdlib>
#include <new>

CKRMutex::CKRMutex() : m_record(static_cast<Record*>(std::calloc(1, sizeof(Record)))) {
    if (m_record == nullptr) {
        throw std::bad_alloc();
    }
    m_record->semaphore = semMCreate(SEM_Q_PRIORITY | SEM_DELETE_SAFE | SEM_INVERSION_SAFE);
    if (m_record->semaphore == nullptr) {
        std::free(m_record);
        throw std::bad_alloc();
    }
}

CKRMutex::~CKRMutex() {
    semDelete(m_record->semaphore);
    std::free(m_record);
}

void CKRMutex::Lock() {
    semTake(m_record->semaphore, WAIT_FOREVER);
    if (m_record->locked == 1) {
        std::abort(); // the holder took it a second time
    }
    m_record->owner = taskIdSelf();
    m_record->locked = 1;
}

void CKRMutex::Unlock() {
    m_record->locked = 0;
    m_record->owner = 0;
    semGive(m_record->semaphore);
}
