// Where the expert's INI file sets the refresh period, and the period that
// applies when it does not: what the expert reads and what a host reports.
#pragma once

#include <cstdint>

constexpr const char* kRefreshPeriodSection = "VYREX";
constexpr const char* kRefreshPeriodKey = "SystemapiExpertCameraListRefreshTimeInSec";
constexpr uint32_t kDefaultRefreshPeriodSec = 2;
