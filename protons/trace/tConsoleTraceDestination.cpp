#include "protons/trace/tConsoleTraceDestination.h"

#include "quarks/trace/debugPrint.h"

#include "tarn/InitOrder.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace nKRZEPH000 {

namespace {

constexpr char kOptions[] = " --destination zeph";

tConsoleTraceDestination sConsoleTraceDest
    __attribute__((init_priority(KR_INIT_ORDER_CONSOLE_TRACE)));

} // namespace

tConsoleTraceDestination& tConsoleTraceDestination::getInstance() {
    return sConsoleTraceDest;
}

iTraceDestination& tConsoleTraceDestination::put(const char* text) {
    if (text != nullptr) {
        krsdbg_printf("%s", text);
    }
    return *this;
}

iTraceDestination& tConsoleTraceDestination::put(const char* text, uint32_t length) {
    if (text == nullptr) {
        return *this;
    }
    // A precision beyond INT_MAX would make the format invalid; no line is
    // that long anyway.
    const unsigned long precision = length > uint32_t(INT_MAX) ? INT_MAX : length;
    char format[sizeof "%.4294967295s"];
    std::snprintf(format, sizeof format, "%%.%lus", precision);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    krsdbg_printf(format, text);
#pragma GCC diagnostic pop
    return *this;
}

void tConsoleTraceDestination::configure(int32_t /*count*/, char** /*options*/) {}

void tConsoleTraceDestination::inquire(char* buffer, uint32_t size, uint32_t* needed) {
    if (buffer != nullptr && size != 0) {
        std::strncpy(buffer, kOptions, size);
        buffer[size - 1] = '\0';
    }
    if (needed != nullptr) {
        *needed = sizeof kOptions;
    }
}

bool tConsoleTraceDestination::open() {
    return true;
}

void tConsoleTraceDestination::close() {}

const char* tConsoleTraceDestination::getDescription() const {
    return "krsdbg_printf";
}

} // namespace nKRZEPH000
