// The debug-print layer: replaceable plain-function hooks that format a line
// and hand it to the console. Each hook starts as its _default function;
// tests and special builds may point it elsewhere.
#pragma once

#include <cstdarg>
#include <cstddef>

// Prints a finished line; the default refuses at interrupt level, where
// printf may not be called, and otherwise prints it with printf("%s").
extern void (*krsdbg_debugPrint)(const char* text);
void krsdbg_debugPrint_default(const char* text);

// Formats into a buffer of `size` bytes; the default is vsnprintf.
extern int (*krsdbg_vsnprintf)(char* buffer, size_t size, const char* format, va_list arguments);
int krsdbg_vsnprintf_default(char* buffer, size_t size, const char* format, va_list arguments);

// Stops the system; the default waits for ever.
extern void (*krsdbg_halt)();
void krsdbg_halt_default();

// Brackets a block of lines that belong together; the defaults do nothing
// (begin returns 0, the token handed to end).
extern int (*krsdbg_blockBegin)();
int krsdbg_blockBegin_default();
extern void (*krsdbg_blockEnd)(int block);
void krsdbg_blockEnd_default(int block);

// The longest line krsdbg_printf prints.
constexpr size_t krsdbg_kLineLength = 255;

// Formats with krsdbg_vsnprintf into a buffer of its own, cuts the result at
// krsdbg_kLineLength characters and passes it to krsdbg_debugPrint. Callable
// from any task.
void krsdbg_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
