// The refresh period that the expert's INI file gives, read with the
// expert's own INI reader and rules, so the answer is the period the expert
// uses: the key's value when it is a whole number above 0, the default
// otherwise, and why.
#pragma once

#include <cstdint>
#include <string>

struct RefreshPeriod {
    uint32_t seconds = 0;
    std::string defaultBecause; // why the default applies; "" when the file sets it
};

RefreshPeriod readRefreshPeriod(const char* iniPath);

// "[VYREX] SystemapiExpertCameraListRefreshTimeInSec"
std::string refreshPeriodKey();
