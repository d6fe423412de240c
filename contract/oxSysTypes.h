// Value types that cross the boundary with the host framework.
#pragma once

#include <cstdint>

// Type of a property value, as stored in a bag and reported by GetPropertyType.
enum oxSysAttributeType : int32_t {
    oxSysAttributeType_Boolean = 1,
    oxSysAttributeType_Integer = 2,
    oxSysAttributeType_UnsignedInteger = 3,
    oxSysAttributeType_Double = 4,
    oxSysAttributeType_Guid = 5,
    oxSysAttributeType_String = 6,
    oxSysAttributeType_TimestampUTC = 7,
};

// A signed 128-bit fixed-point count of seconds since 1904-01-01 00:00:00 UTC:
// words 0-1 the signed whole seconds, words 2-3 the fraction in units of
// 2^-64 s, word 0 the most significant. All zero means no time.
struct oxSysAttrTimestampUTC {
    uint32_t words[4];
};

// Whole seconds from 1904-01-01 00:00:00 UTC, where timestamps count from,
// to 1970-01-01 00:00:00 UTC, where the C library's times count from.
constexpr uint32_t kOxSysSecondsFrom1904To1970 = 2082844800u;

static_assert(sizeof(oxSysAttrTimestampUTC) == 16);

// Local calendar time; all six fields are -1 when there is no time.
struct oxSysAttrTimestamp {
    int32_t year;   // four digits
    int32_t month;  // 1-12
    int32_t day;    // 1-31
    int32_t hour;   // 0-23
    int32_t minute; // 0-59
    int32_t second; // 0-59
};

static_assert(sizeof(oxSysAttrTimestamp) == 24);

// Passed through, never interpreted by the expert.
enum oxSysLocale : int32_t {};
enum oxSysRenameValidationMode : int32_t {};

// What happened to the items named in a change notification.
enum oxSysItemChangeKind : int32_t {
    oxSysItemChangeKind_Added = 1,
    oxSysItemChangeKind_Removed = 2,
    oxSysItemChangeKind_Changed = 3,
};
