#include "tarn/osdep/OSException.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace kr::tarn::osdep {

namespace {

constexpr int32_t k_osErrorCode = 42;
constexpr int32_t k_noSuchFileErrorCode = 7;

// strerror_r comes in two shapes; either gives the text.
[[maybe_unused]] const char* messageText(int /*xsiResult*/, const char* buffer) {
    return buffer;
}
[[maybe_unused]] const char* messageText(const char* gnuResult, const char* /*buffer*/) {
    return gnuResult;
}

NarrowString describeError(int error) {
    char buffer[128] = "";
    return NarrowString(messageText(strerror_r(error, buffer, sizeof buffer), buffer));
}

} // namespace

OSException::OSException(const char* message, int32_t code) : m_message(message), m_code(code) {}

OSException::OSException(NarrowString&& message, int32_t code, const char* file, uint32_t line)
    : Exception(file, line), m_message(std::move(message)), m_code(code) {}

OSException::~OSException() = default;

const char* OSException::what() const noexcept {
    return m_message.c_str();
}
int32_t OSException::getErrorCode() const {
    return k_osErrorCode;
}
int32_t OSException::whatcode() const {
    return m_code;
}

PosixError::PosixError() : PosixError(nullptr, 0) {}

// errno is read before anything else can change it.
PosixError::PosixError(const char* file, uint32_t line) : PosixError(errno, file, line) {}

PosixError::PosixError(int error, const char* file, uint32_t line)
    : OSException(describeError(error), error, file, line) {}

PosixError::~PosixError() = default;

int32_t PosixError::getErrorCode() const {
    switch (whatcode()) {
    case 0:
        return 0;
    case ENOENT:
        return k_noSuchFileErrorCode;
    default:
        return k_osErrorCode;
    }
}

} // namespace kr::tarn::osdep
