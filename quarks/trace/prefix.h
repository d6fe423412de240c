// Prefix writers: the pieces that begin a trace line, such as
//     "[sapiExpert|               quarks/thread.cpp|0684] "
// Each writer puts its piece into `buffer`, never more than `room` bytes
// including a terminating 0, and returns the position of that terminator,
// so that writers can be chained. With no room at all it writes nothing and
// returns `buffer`.
#pragma once

#include <cstddef>

// Where a trace line comes from.
struct krsdbg_location {
    const char* file;
    unsigned line;
};

typedef char* (*krsdbg_prefixWriter)(char* buffer, size_t room, const krsdbg_location* location);

char* krsdbg_prefixBegin(char* buffer, size_t room, const krsdbg_location* location);
char* krsdbg_prefixComponent(char* buffer, size_t room, const krsdbg_location* location);
char* krsdbg_prefixSeparator(char* buffer, size_t room, const krsdbg_location* location);
char* krsdbg_prefixFile(char* buffer, size_t room, const krsdbg_location* location);
char* krsdbg_prefixLineNumber(char* buffer, size_t room, const krsdbg_location* location);
char* krsdbg_prefixEnd(char* buffer, size_t room, const krsdbg_location* location);

// Widths the component, the file and the line number are fitted to; 0 lets
// a text through unchanged.
extern size_t krsdbg_prefixComponentWidth;  // 10
extern size_t krsdbg_prefixFileWidth;       // 32
extern size_t krsdbg_prefixLineNumberWidth; // 4

// Fits `text` to `width`: a shorter text is preceded by `pad` characters up
// to the width, a longer one keeps only its last `width` characters. A null
// text counts as empty.
char* krsdbg_fit(char* buffer, size_t room, const char* text, size_t width, char pad);

// The writers of a prefix, null-terminated: begin, component, separator,
// file, separator, line number, end.
extern const krsdbg_prefixWriter krsdbg_prefixSpec_default[];
extern const krsdbg_prefixWriter* krsdbg_prefixSpec;

// Runs every writer of krsdbg_prefixSpec one after the other.
char* krsdbg_writePrefix(char* buffer, size_t room, const krsdbg_location* location);
