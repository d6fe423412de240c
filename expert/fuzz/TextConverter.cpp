// The platform's optional narrow-to-wide conversion, exported as a module
// loaded beside the expert would export it: the expert's symbol loader finds
// it when the program starts, and every conversion of a driver text goes
// through it. Each byte becomes the unit of the same value, as in the
// expert's built-in mapping; an input may name one byte whose texts are
// refused, so that names the conversion refuses reach the expert.
#include "expert/fuzz/TextConverter.h"

#include <cerrno>
#include <cstring>

namespace expertfuzz {

namespace {

std::optional<uint8_t> g_refusedByte;

bool holdsRefusedByte(const char* text, size_t length) {
    return g_refusedByte && std::memchr(text, *g_refusedByte, length) != nullptr;
}

} // namespace

void setRefusedByte(std::optional<uint8_t> byte) {
    g_refusedByte = byte;
}

bool refusesText(const std::string& text) {
    return holdsRefusedByte(text.data(), text.size());
}

} // namespace expertfuzz

// With a null destination and no room, returns the units needed; 0 on
// failure, the reason in errno.
extern "C" __attribute__((visibility("default"))) int32_t
MultiByteToWideChar(uint32_t /*codePage*/, uint32_t /*flags*/, const char* source,
                    int32_t sourceBytes, char16_t* destination, int32_t destinationUnits) {
    if (source == nullptr || sourceBytes <= 0 || destinationUnits < 0 ||
        (destination == nullptr && destinationUnits != 0)) {
        errno = EINVAL;
        return 0;
    }
    if (expertfuzz::holdsRefusedByte(source, size_t(sourceBytes))) {
        errno = EILSEQ;
        return 0;
    }
    if (destination == nullptr) {
        return sourceBytes;
    }
    if (destinationUnits < sourceBytes) {
        errno = E2BIG;
        return 0;
    }
    for (int32_t i = 0; i < sourceBytes; ++i) {
        destination[i] = char16_t(static_cast<unsigned char>(source[i]));
    }
    return sourceBytes;
}
