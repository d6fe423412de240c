// Where trace output goes.
#pragma once

#include <cstdint>

namespace nKRZEPH000 {

class iTraceDestination {
public:
    constexpr iTraceDestination() = default;
    virtual ~iTraceDestination() = default;

    // Writes the text; returns the destination.
    virtual iTraceDestination& put(const char* text) = 0;
    // Writes at most `length` characters of the text; returns the destination.
    virtual iTraceDestination& put(const char* text, uint32_t length) = 0;
    // Takes options in the manner of a command line.
    virtual void configure(int32_t count, char** options) = 0;
    // Copies the destination's options as text into `buffer` (at most `size`
    // bytes) and stores the size they need, terminator included, in *needed.
    virtual void inquire(char* buffer, uint32_t size, uint32_t* needed) = 0;
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual const char* getDescription() const = 0;
};

} // namespace nKRZEPH000
