// The fuzz input, read front to back. Reading past its end gives zeros, so
// every byte string is a complete input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace expertfuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}

    bool empty() const { return m_left == 0; }

    uint8_t byte() {
        if (m_left == 0) {
            return 0;
        }
        --m_left;
        return *m_data++;
    }

    // Numbers are little-endian, so an input means the same on every
    // processor the replay test runs on.
    uint16_t word16() {
        const uint16_t low = byte();
        return uint16_t(low | (uint16_t(byte()) << 8));
    }

    uint32_t word() {
        const uint32_t low = word16();
        return low | (uint32_t(word16()) << 16);
    }

    // Up to length bytes; fewer when the input ends first.
    std::string bytes(size_t length) {
        const size_t taken = std::min(length, m_left);
        std::string out(reinterpret_cast<const char*>(m_data), taken);
        m_data += taken;
        m_left -= taken;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_left;
};

} // namespace expertfuzz
