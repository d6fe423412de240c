#include "contract/BStr.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kPrefixBytes = sizeof(uint32_t);

// (count + 1) * 2 + 4, or false when any step leaves 32 bits.
bool blockSize(uint32_t count, uint32_t* bytes) {
    if (count == UINT32_MAX) {
        return false;
    }
    const uint32_t units = count + 1;
    if (units > UINT32_MAX / sizeof(char16_t)) {
        return false;
    }
    const uint32_t textBytes = units * uint32_t(sizeof(char16_t));
    if (textBytes > UINT32_MAX - kPrefixBytes) {
        return false;
    }
    *bytes = textBytes + kPrefixBytes;
    return true;
}

} // namespace

char16_t* BStrAlloc(const char16_t* text) {
    if (text == nullptr) {
        return nullptr;
    }
    uint32_t count = 0;
    while (text[count] != 0) {
        if (count == UINT32_MAX) {
            return nullptr;
        }
        ++count;
    }
    return BStrAllocLen(text, count);
}

char16_t* BStrAllocLen(const char16_t* text, uint32_t count) {
    uint32_t bytes = 0;
    if (!blockSize(count, &bytes)) {
        return nullptr;
    }
    auto* block = static_cast<unsigned char*>(std::malloc(bytes));
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(block, &count, kPrefixBytes);
    auto* str = reinterpret_cast<char16_t*>(block + kPrefixBytes);
    std::memcpy(str, text, size_t(count) * sizeof(char16_t));
    str[count] = 0;
    return str;
}

void BStrFree(char16_t* str) {
    if (str != nullptr) {
        std::free(reinterpret_cast<unsigned char*>(str) - kPrefixBytes);
    }
}

uint32_t BStrLen(const char16_t* str) {
    if (str == nullptr) {
        return 0;
    }
    uint32_t count = 0;
    std::memcpy(&count, reinterpret_cast<const unsigned char*>(str) - kPrefixBytes, kPrefixBytes);
    return count;
}
