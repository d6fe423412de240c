// The console: trace output printed through krsdbg_printf.
#pragma once

#include "protons/trace/iTraceDestination.h"

namespace nKRZEPH000 {

class tConsoleTraceDestination : public iTraceDestination {
public:
    // Constant: the destination is whole before any static initializer
    // runs, so the trace singleton, built first, may already point at it.
    constexpr tConsoleTraceDestination() = default;

    // The one console destination of the module.
    static tConsoleTraceDestination& getInstance();

    // A null text prints nothing.
    iTraceDestination& put(const char* text) override;
    iTraceDestination& put(const char* text, uint32_t length) override;
    // Accepts and ignores its arguments.
    void configure(int32_t count, char** options) override;
    // The options are " --destination zeph", 20 bytes with the terminator;
    // a buffer of `size` bytes always ends with a terminator.
    void inquire(char* buffer, uint32_t size, uint32_t* needed) override;
    bool open() override;
    void close() override;
    const char* getDescription() const override;
};

} // namespace nKRZEPH000
