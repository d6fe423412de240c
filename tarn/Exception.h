// The foundation library's exception hierarchy. Every class answers with a
// fixed text and a fixed error code; a raised object also names the source
// file (relative to the repository root) and line of the raising statement.
// Objects are thrown by value and caught by reference.
#pragma once

#include <cstdint>
#include <exception>

namespace kr::tarn::exception {

class Exception : public std::exception {
public:
    // Built without a raise site: line 0, file null.
    Exception() = default;
    // file must be a static text; it is not copied.
    Exception(const char* file, uint32_t line) : m_line(line), m_file(file) {}
    ~Exception() override;

    const char* what() const noexcept override;
    virtual int32_t getErrorCode() const;

    uint32_t getLine() const { return m_line; }
    const char* getFile() const { return m_file; }

private:
    uint32_t m_line = 0;
    const char* m_file = nullptr;
};

class OutOfRange : public Exception {
public:
    using Exception::Exception;
    ~OutOfRange() override;
    const char* what() const noexcept override;
    int32_t getErrorCode() const override;
};

class BufferOverflow : public Exception {
public:
    using Exception::Exception;
    ~BufferOverflow() override;
    const char* what() const noexcept override;
    int32_t getErrorCode() const override;
};

class InvalidArgument : public Exception {
public:
    using Exception::Exception;
    ~InvalidArgument() override;
    const char* what() const noexcept override;
    int32_t getErrorCode() const override;
};

class InvalidSequence : public Exception {
public:
    using Exception::Exception;
    ~InvalidSequence() override;
    const char* what() const noexcept override;
    int32_t getErrorCode() const override;
};

class InvalidLocale : public Exception {
public:
    using Exception::Exception;
    ~InvalidLocale() override;
    const char* what() const noexcept override;
    int32_t getErrorCode() const override;
};

} // namespace kr::tarn::exception
