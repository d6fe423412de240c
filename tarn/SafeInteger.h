// Checked arithmetic on 32-bit unsigned sizes. Every size that the
// foundation code computes before an allocation goes through it, so a
// computation that would wrap around throws OutOfRange instead.
//
//     const uint32_t bytes = ((SafeInteger(length) + 1u) * uint32_t(sizeof(char16_t))).get();
#pragma once

#include "tarn/Exception.h"

#include <cstdint>

namespace kr::tarn {

class SafeInteger {
public:
    explicit SafeInteger(uint32_t value) : m_value(value) {}

    // Throws OutOfRange when the sum exceeds 0xFFFFFFFF.
    SafeInteger operator+(uint32_t other) const {
        if (m_value > UINT32_MAX - other) {
            throw exception::OutOfRange(k_sourceFile, __LINE__);
        }
        return SafeInteger(m_value + other);
    }

    // Throws OutOfRange when the exact product exceeds 0xFFFFFFFF.
    SafeInteger operator*(uint32_t other) const {
        const uint64_t product = uint64_t(m_value) * other;
        if (product > UINT32_MAX) {
            throw exception::OutOfRange(k_sourceFile, __LINE__);
        }
        return SafeInteger(uint32_t(product));
    }

    uint32_t get() const { return m_value; }

private:
    static constexpr const char* k_sourceFile = "tarn/SafeInteger.h";

    uint32_t m_value;
};

} // namespace kr::tarn
