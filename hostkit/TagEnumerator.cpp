#include "hostkit/TagEnumerator.h"

#include <new>

int32_t TagEnumerator::Next(uint32_t count, uint32_t* tags, uint32_t* fetched) {
    if (tags == nullptr && count != 0) {
        return E_POINTER;
    }
    if (fetched == nullptr && count > 1) {
        return E_POINTER; // the caller could not learn how many came
    }
    uint32_t copied = 0;
    while (copied < count && m_position < m_tags.size()) {
        tags[copied++] = m_tags[m_position++];
    }
    if (fetched != nullptr) {
        *fetched = copied;
    }
    return copied == count ? S_OK : S_FALSE;
}

int32_t TagEnumerator::Skip(uint32_t count) {
    const size_t left = m_tags.size() - m_position;
    if (count > left) {
        m_position = m_tags.size();
        return S_FALSE;
    }
    m_position += count;
    return S_OK;
}

int32_t TagEnumerator::Reset() {
    m_position = 0;
    return S_OK;
}

int32_t TagEnumerator::Clone(IoxSysEnumPropertyTag** copy) {
    if (copy == nullptr) {
        return E_POINTER;
    }
    try {
        *copy = create(m_tags, m_position);
    } catch (const std::bad_alloc&) {
        *copy = nullptr;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
