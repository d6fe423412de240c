// PassRecords: the driver's records for one refresh pass.
#pragma once

#include "kernel/pages.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

// The driver's records for one pass, zero-filled. A large array is made of
// whole pages that go back to the system when the pass frees them: from the
// heap, a pass's worth of records would stay resident between passes.
template <class Record>
class PassRecords {
    static_assert(std::is_trivially_copyable<Record>::value &&
                      std::is_trivially_default_constructible<Record>::value,
                  "zero-filled pages are a valid array of records");

public:
    explicit PassRecords(uint32_t count) {
        if (count > SIZE_MAX / sizeof(Record)) {
            throw std::bad_alloc();
        }
        m_bytes = size_t(count) * sizeof(Record);
        if (m_bytes < kPagesFrom) {
            m_records = new Record[count]();
            return;
        }
        m_records = static_cast<Record*>(kernelPagesAllocate(m_bytes));
        if (m_records == nullptr) {
            throw std::bad_alloc();
        }
        m_pages = true;
    }

    ~PassRecords() {
        if (m_pages) {
            kernelPagesFree(m_records, m_bytes);
        } else {
            delete[] m_records;
        }
    }

    PassRecords(const PassRecords&) = delete;
    PassRecords& operator=(const PassRecords&) = delete;

    Record* data() { return m_records; }
    Record& operator[](size_t i) { return m_records[i]; }

private:
    static constexpr size_t kPagesFrom = 256 * 1024;

    Record* m_records = nullptr;
    size_t m_bytes = 0;
    bool m_pages = false;
};

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
