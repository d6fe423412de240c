// The refresh period that the expert's INI file gives, read as the expert
// reads it: [VYREX] SystemapiExpertCameraListRefreshTimeInSec, section and
// key without regard to letter case, a whole number above 0. Anything else,
// or no file, leaves the expert's default of 2 seconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

constexpr uint32_t kDefaultRefreshPeriodSec = 2;

struct RefreshPeriod {
    uint32_t seconds = kDefaultRefreshPeriodSec;
    std::string defaultBecause; // why the default applies; "" when the file sets it
};

// None in a build without an INI reader (the cross build: the reader's
// library exists for the build machine only).
std::optional<RefreshPeriod> readRefreshPeriod(const std::string& iniPath);

// "[VYREX] SystemapiExpertCameraListRefreshTimeInSec"
std::string refreshPeriodKey();
