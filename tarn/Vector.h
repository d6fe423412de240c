// A growable array of plain values, kept in insertion order. Empty and
// never grown, it holds no block at all. A full array grows to
// 2 x capacity + 1 elements (1, 3, 7, 15, ...), every size checked before
// the new block is allocated, so a failed growth leaves the array as it was.
#pragma once

#include "tarn/Allocation.h"
#include "tarn/SafeInteger.h"

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>

namespace kr::tarn {

template <typename T>
class Vector {
    static_assert(std::is_trivially_copyable<T>::value, "elements are copied as bytes");

public:
    using value_type = T;
    using size_type = uint32_t;
    using iterator = T*;
    using const_iterator = const T*;

    Vector() = default;

    // An exact fit of other's elements; none allocated when other is empty.
    Vector(const Vector& other) {
        if (other.empty()) {
            return;
        }
        T* block = allocateElements(other.size());
        std::memcpy(block, other.m_begin, byteCount(other.size()));
        m_begin = block;
        m_end = block + other.size();
        m_storageEnd = m_end;
    }

    Vector(Vector&& other) noexcept { swap(other); }

    Vector& operator=(Vector other) noexcept {
        swap(other);
        return *this;
    }

    ~Vector() { Deallocate(m_begin); }

    void swap(Vector& other) noexcept {
        std::swap(m_begin, other.m_begin);
        std::swap(m_end, other.m_end);
        std::swap(m_storageEnd, other.m_storageEnd);
    }

    // Appends value, growing the block when it is full. Throws OutOfRange
    // when the grown size would not fit 32 bits, std::bad_alloc when the heap
    // refuses it; the array is unchanged then.
    void push_back(const T& value) {
        if (m_end == m_storageEnd) {
            grow();
        }
        *m_end++ = value;
    }

    uint32_t size() const { return uint32_t(m_end - m_begin); }
    uint32_t capacity() const { return uint32_t(m_storageEnd - m_begin); }
    bool empty() const { return m_end == m_begin; }

    T& operator[](uint32_t index) { return m_begin[index]; }
    const T& operator[](uint32_t index) const { return m_begin[index]; }

    iterator begin() { return m_begin; }
    iterator end() { return m_end; }
    const_iterator begin() const { return m_begin; }
    const_iterator end() const { return m_end; }

private:
    static uint32_t byteCount(uint32_t elements) {
        return (SafeInteger(elements) * uint32_t(sizeof(T))).get();
    }

    static T* allocateElements(uint32_t elements) {
        return static_cast<T*>(Allocate(byteCount(elements)));
    }

    void grow() {
        const uint32_t grown = ((SafeInteger(capacity()) * 2u) + 1u).get();
        T* block = allocateElements(grown);
        const uint32_t count = size();
        if (count != 0) {
            std::memcpy(block, m_begin, byteCount(count));
        }
        Deallocate(m_begin);
        m_begin = block;
        m_end = block + count;
        m_storageEnd = block + grown;
    }

    T* m_begin = nullptr;
    T* m_end = nullptr;
    T* m_storageEnd = nullptr;
};

} // namespace kr::tarn
