#include "RefreshPeriod.h"

#if KR_HOST_READS_INI
#include "WholeNumber.h"

#include <ini.h>
#include <strings.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#endif

namespace {

constexpr const char* kSection = "VYREX";
constexpr const char* kKey = "SystemapiExpertCameraListRefreshTimeInSec";

#if KR_HOST_READS_INI
// Blanks around it are cut already; an optional '+', then digits only.
bool parseSeconds(std::string_view text, uint32_t* seconds) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    uint32_t value = 0;
    if (!parseWhole(text, 10, &value) || value == 0) {
        return false;
    }
    *seconds = value;
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
    } else if (!parseSeconds(*found.value, &period.seconds)) {
        period.defaultBecause =
            std::string(kKey) + "=" + *found.value + " is not a whole number above 0";
    }
    return period;
#else
    (void)iniPath;
    return std::nullopt;
#endif
}
