#include "RefreshPeriod.h"

#if KR_HOST_READS_INI
#include <ini.h>
#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#endif

namespace {

constexpr const char* kSection = "VYREX";
constexpr const char* kKey = "SystemapiExpertCameraListRefreshTimeInSec";

#if KR_HOST_READS_INI
// Blanks around it are cut already; an optional '+', then digits only.
bool parseSeconds(const char* text, uint32_t* seconds) {
    const char* digits = text[0] == '+' ? text + 1 : text;
    if (*digits == '\0' || std::strspn(digits, "0123456789") != std::strlen(digits)) {
        return false;
    }
    errno = 0;
    const unsigned long long value = std::strtoull(digits, nullptr, 10);
    if (errno != 0 || value == 0 || value > UINT32_MAX) {
        return false;
    }
    *seconds = uint32_t(value);
    return true;
}

struct Found {
    std::optional<std::string> value; // the first the file gives
};

int takeValue(void* user, const char* section, const char* key, const char* value) {
    auto* found = static_cast<Found*>(user);
    if (!found->value && strcasecmp(section, kSection) == 0 && strcasecmp(key, kKey) == 0) {
        found->value = value;
    }
    return 1;
}
#endif

} // namespace

std::string refreshPeriodKey() {
    return std::string("[") + kSection + "] " + kKey;
}

std::optional<RefreshPeriod> readRefreshPeriod(const std::string& iniPath) {
#if KR_HOST_READS_INI
    RefreshPeriod period;
    Found found;
    if (ini_parse(iniPath.c_str(), takeValue, &found) == -1) {
        period.defaultBecause =
            std::string("the file cannot be read (") + std::strerror(errno) + ")";
    } else if (!found.value) {
        period.defaultBecause = "the file has no " + refreshPeriodKey();
    } else if (!parseSeconds(found.value->c_str(), &period.seconds)) {
        period.defaultBecause =
            std::string(kKey) + "=" + *found.value + " is not a whole number above 0";
    }
    return period;
#else
    (void)iniPath;
    return std::nullopt;
#endif
}
