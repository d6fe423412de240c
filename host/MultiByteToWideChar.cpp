// camexpert offers the module the platform's optional narrow-to-wide
// conversion, which the module looks up by name when it is loaded. Driver
// texts on this system are UTF-8; without this function the module would
// widen them byte by byte, and a vendor name such as "Müller" would reach
// the host as Latin-1 pairs.
#include "HostStrings.h"

#include <cerrno>
#include <cstdint>

// Every code page is read as UTF-8; ill-formed bytes become U+FFFD. With a
// null destination and no room, returns the units needed; 0 on failure, the
// reason in errno.
extern "C" __attribute__((visibility("default"))) int32_t
MultiByteToWideChar(uint32_t /*codePage*/, uint32_t /*flags*/, const char* source,
                    int32_t sourceBytes, char16_t* destination, int32_t destinationUnits) {
    if (source == nullptr || sourceBytes <= 0 || destinationUnits < 0 ||
        (destination == nullptr && destinationUnits != 0)) {
        errno = EINVAL;
        return 0;
    }
    const size_t units =
        utf8ToUtf16(source, size_t(sourceBytes), destination, size_t(destinationUnits));
    if (units == SIZE_MAX || units > size_t(INT32_MAX)) {
        errno = E2BIG;
        return 0;
    }
    return int32_t(units);
}
