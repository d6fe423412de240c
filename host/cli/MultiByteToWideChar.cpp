// camexpert offers the module the platform's optional narrow-to-wide
// conversion, which the module looks up by name when it is loaded. Driver
// texts on this system are UTF-8; without this function the module would
// widen them byte by byte, and a vendor name such as "Müller" would reach
// the host as Latin-1 pairs.
#include "present/HostStrings.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

namespace {

// A call asks either for the size (no destination, no room) or for the
// units themselves (a destination and its room).
bool isAnswerable(const char* source, int32_t sourceBytes, const char16_t* destination,
                  int32_t destinationUnits) {
    const bool sizeQuery = destination == nullptr && destinationUnits == 0;
    const bool conversion = destination != nullptr && destinationUnits >= 0;
    return source != nullptr && sourceBytes > 0 && (sizeQuery || conversion);
}

} // namespace

// Every code page is read as UTF-8; ill-formed bytes become U+FFFD. Returns
// the number of units (those needed, for a size query); 0 on failure, the
// reason in errno.
extern "C" __attribute__((visibility("default"))) int32_t
MultiByteToWideChar(uint32_t /*codePage*/, uint32_t /*flags*/, const char* source,
                    int32_t sourceBytes, char16_t* destination, int32_t destinationUnits) {
    if (!isAnswerable(source, sourceBytes, destination, destinationUnits)) {
        errno = EINVAL;
        return 0;
    }
    try {
        // No more units than bytes: the count always fits in 32 bits.
        const std::u16string units = toUtf16(std::string_view(source, size_t(sourceBytes)));
        if (destination != nullptr) {
            if (units.size() > size_t(destinationUnits)) {
                errno = E2BIG;
                return 0;
            }
            std::copy(units.begin(), units.end(), destination);
        }
        return int32_t(units.size());
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return 0;
    }
}
