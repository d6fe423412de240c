// Failures that the operating system reports, with its own error number and
// message text.
#pragma once

#include "tarn/Exception.h"
#include "tarn/StringBase.h"

#include <cstdint>

namespace kr::tarn::osdep {

class OSException : public exception::Exception {
public:
    // Copies message; no raise site (line 0, file null).
    OSException(const char* message, int32_t code);
    ~OSException() override;

    // The message text.
    const char* what() const noexcept override;
    int32_t getErrorCode() const override;
    // The operating system's error number, unchanged.
    virtual int32_t whatcode() const;

protected:
    OSException(NarrowString&& message, int32_t code, const char* file, uint32_t line);

private:
    NarrowString m_message;
    int32_t m_code;
};

// The calling thread's errno with its strerror text, captured when built.
class PosixError : public OSException {
public:
    PosixError();
    // As above, raised at file and line (file a static text).
    PosixError(const char* file, uint32_t line);
    ~PosixError() override;

    // 0 for errno 0, 7 for ENOENT, 42 for every other errno.
    int32_t getErrorCode() const override;

private:
    PosixError(int error, const char* file, uint32_t line);
};

} // namespace kr::tarn::osdep
