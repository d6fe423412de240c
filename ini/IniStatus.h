// Status codes of the INI reader. Reads return 0 or a negative status;
// look-ups return 1 (found), 0 (not found) or a negative status.
#pragma once

#include <cstdint>

constexpr int32_t kIniStatusOk = 0;
constexpr int32_t kIniFound = 1;
constexpr int32_t kIniNotFound = 0;

// A UTF-16 or UTF-32 byte-order mark: only single-byte text is read.
constexpr int32_t kIniStatusUnsupportedEncoding = -3;
// Memory ran out.
constexpr int32_t kIniStatusNoMemory = -12;
// The file does not exist, or a required argument is null.
constexpr int32_t kIniStatusInvalid = -22;
// The file exists but cannot be opened.
constexpr int32_t kIniStatusCannotOpen = -5001;
// The stream reported a read error.
constexpr int32_t kIniStatusReadError = -5002;
// The value is not an unsigned decimal number that fits 32 bits.
constexpr int32_t kIniStatusNotUnsigned = -5022;
