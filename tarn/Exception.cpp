#include "tarn/Exception.h"

namespace kr::tarn::exception {

Exception::~Exception() = default;
const char* Exception::what() const noexcept {
    return "unspecified exception";
}
int32_t Exception::getErrorCode() const {
    return -1;
}

OutOfRange::~OutOfRange() = default;
const char* OutOfRange::what() const noexcept {
    return "Out of range";
}
int32_t OutOfRange::getErrorCode() const {
    return int32_t(0x8ABC7007);
}

BufferOverflow::~BufferOverflow() = default;
const char* BufferOverflow::what() const noexcept {
    return "Buffer overflowed";
}
int32_t BufferOverflow::getErrorCode() const {
    return int32_t(0x8ABC7017);
}

InvalidArgument::~InvalidArgument() = default;
const char* InvalidArgument::what() const noexcept {
    return "Invalid argument(s)";
}
int32_t InvalidArgument::getErrorCode() const {
    return int32_t(0x8ABC700F);
}

InvalidSequence::~InvalidSequence() = default;
const char* InvalidSequence::what() const noexcept {
    return "Invalid UTF8 encoding sequence";
}
int32_t InvalidSequence::getErrorCode() const {
    return int32_t(0x8ABC7030);
}

InvalidLocale::~InvalidLocale() = default;
const char* InvalidLocale::what() const noexcept {
    return "Invalid locale";
}
int32_t InvalidLocale::getErrorCode() const {
    return int32_t(0x8ABC7024);
}

} // namespace kr::tarn::exception
