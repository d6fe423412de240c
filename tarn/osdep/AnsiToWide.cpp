#include "tarn/osdep/AnsiToWide.h"

#include "tarn/Exception.h"
#include "tarn/NumericCast.h"
#include "tarn/osdep/OSException.h"
#include "tarn/osdep/RTSymbolLoader.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace kr::tarn::osdep {

namespace {

constexpr const char* k_sourceFile = "tarn/osdep/AnsiToWide.cpp";

// MultiByteToWideChar counts in signed 32-bit values.
int32_t sourceBytes(const char* srcBegin, const char* srcEnd) {
    const uint32_t bytes = NumericCast<uint32_t>(srcEnd - srcBegin);
    if (bytes > uint32_t(INT32_MAX)) {
        throw exception::OutOfRange(k_sourceFile, __LINE__);
    }
    return int32_t(bytes);
}

bool isBuiltInLocale(const char* localeName) {
    return localeName == nullptr || localeName[0] == '\0' ||
           std::strcmp(localeName, k_asciiLocaleName) == 0;
}

uint32_t convertWithPlatform(MultiByteToWideCharFunction convert, const char* srcBegin,
                             const char* srcEnd, uint32_t codePage, char16_t* dstBegin,
                             char16_t*& dstEnd) {
    const int32_t room = dstEnd - dstBegin > INT32_MAX ? INT32_MAX : int32_t(dstEnd - dstBegin);
    const int32_t written =
        convert(codePage, 0, srcBegin, sourceBytes(srcBegin, srcEnd), dstBegin, room);
    if (written <= 0) {
        throw PosixError(k_sourceFile, __LINE__);
    }
    // A function that claims more units than it was given room for has
    // already overrun the destination; never hand that end on.
    if (written > room) {
        throw exception::BufferOverflow(k_sourceFile, __LINE__);
    }
    dstEnd = dstBegin + written;
    return uint32_t(written);
}

uint32_t convertBuiltIn(const char* srcBegin, const char* srcEnd, const char* localeName,
                        char16_t* dstBegin, char16_t*& dstEnd) {
    if (!isBuiltInLocale(localeName)) {
        throw exception::InvalidLocale(k_sourceFile, __LINE__);
    }
    if (dstEnd - dstBegin < srcEnd - srcBegin) {
        errno = E2BIG;
        throw PosixError(k_sourceFile, __LINE__);
    }
    char16_t* unit = dstBegin;
    for (const char* byte = srcBegin; byte != srcEnd; ++byte) {
        *unit++ = static_cast<unsigned char>(*byte);
    }
    dstEnd = unit;
    return uint32_t(unit - dstBegin);
}

} // namespace

uint32_t AnsiToWide(const char* srcBegin, const char* srcEnd, const char* localeName,
                    uint32_t codePage, char16_t* dstBegin, char16_t*& dstEnd) {
    if (srcBegin == srcEnd) {
        dstEnd = dstBegin;
        return 0;
    }
    const MultiByteToWideCharFunction convert = RTSymbolLoader::instance().multiByteToWideChar;
    if (convert != nullptr) {
        return convertWithPlatform(convert, srcBegin, srcEnd, codePage, dstBegin, dstEnd);
    }
    return convertBuiltIn(srcBegin, srcEnd, localeName, dstBegin, dstEnd);
}

uint32_t AnsiToWideSize(const char* srcBegin, const char* srcEnd, const char* /*localeName*/,
                        uint32_t codePage) {
    if (srcBegin == srcEnd) {
        return 0;
    }
    const MultiByteToWideCharFunction convert = RTSymbolLoader::instance().multiByteToWideChar;
    if (convert == nullptr) {
        return NumericCast<uint32_t>(srcEnd - srcBegin);
    }
    const int32_t needed =
        convert(codePage, 0, srcBegin, sourceBytes(srcBegin, srcEnd), nullptr, 0);
    if (needed <= 0) {
        throw PosixError(k_sourceFile, __LINE__);
    }
    return uint32_t(needed);
}

} // namespace kr::tarn::osdep
