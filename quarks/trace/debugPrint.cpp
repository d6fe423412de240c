#include "quarks/trace/debugPrint.h"

#include "kernel/int.h"

#include <chrono>
#include <cstdio>
#include <thread>

void (*krsdbg_debugPrint)(const char* text) = krsdbg_debugPrint_default;
int (*krsdbg_vsnprintf)(char* buffer, size_t size, const char* format,
                        va_list arguments) = krsdbg_vsnprintf_default;
void (*krsdbg_halt)() = krsdbg_halt_default;
int (*krsdbg_blockBegin)() = krsdbg_blockBegin_default;
void (*krsdbg_blockEnd)(int block) = krsdbg_blockEnd_default;

void krsdbg_debugPrint_default(const char* text) {
    if (intContext() == 1 || text == nullptr) {
        return;
    }
    std::printf("%s", text);
}

int krsdbg_vsnprintf_default(char* buffer, size_t size, const char* format, va_list arguments) {
    return std::vsnprintf(buffer, size, format, arguments);
}

void krsdbg_halt_default() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
}

int krsdbg_blockBegin_default() {
    return 0;
}

void krsdbg_blockEnd_default(int /*block*/) {}

void krsdbg_printf(const char* format, ...) {
    char line[krsdbg_kLineLength + 1];
    line[0] = '\0'; // in case the formatter writes nothing
    va_list arguments;
    va_start(arguments, format);
    krsdbg_vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    line[krsdbg_kLineLength] = '\0';
    krsdbg_debugPrint(line);
}
