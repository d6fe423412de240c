#include "hostkit/RefreshPeriod.h"

#include "contract/RefreshPeriodSetting.h"
#include "ini/Ini.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

constexpr int32_t kNoSuchFile = -22;
constexpr int32_t kCannotOpen = -5001;

std::string unreadable(int32_t status, int error) {
    if (status == kNoSuchFile) {
        return std::strerror(ENOENT);
    }
    if (status == kCannotOpen && error != 0) {
        return std::strerror(error);
    }
    return "the INI reader's status " + std::to_string(status);
}

// Why the key gives no period, when it does not.
std::string whyNot(IniFile* file) {
    if (IniEntryExists(file, kRefreshPeriodSection, kRefreshPeriodKey) != 1) {
        return "the file has no " + refreshPeriodKey();
    }
    const char* value = nullptr;
    IniGetString(file, kRefreshPeriodSection, kRefreshPeriodKey, &value);
    return std::string(kRefreshPeriodKey) + "=" + (value != nullptr ? value : "") +
           " is not a whole number above 0";
}

} // namespace

std::string refreshPeriodKey() {
    return std::string("[") + kRefreshPeriodSection + "] " + kRefreshPeriodKey;
}

RefreshPeriod readRefreshPeriod(const char* iniPath) {
    RefreshPeriod period;
    period.seconds = kDefaultRefreshPeriodSec;
    const std::unique_ptr<IniFile, decltype(&IniDestroy)> file(IniCreate(0), &IniDestroy);
    if (!file) {
        period.defaultBecause = "there is no memory to read the file";
        return period;
    }
    errno = 0;
    const int32_t status = IniReadFile(file.get(), iniPath);
    const int error = errno;
    if (status != 0) {
        period.defaultBecause = "the file cannot be read (" + unreadable(status, error) + ")";
        return period;
    }
    uint32_t seconds = 0;
    if (IniGetUnsigned(file.get(), kRefreshPeriodSection, kRefreshPeriodKey, &seconds) == 1 &&
        seconds != 0) {
        period.seconds = seconds;
    } else {
        period.defaultBecause = whyNot(file.get());
    }
    return period;
}
