#include "quarks/trace/prefix.h"

#include "quarks/status.h"

#include <cstdio>
#include <cstring>

size_t krsdbg_prefixComponentWidth = 10;
size_t krsdbg_prefixFileWidth = 32;
size_t krsdbg_prefixLineNumberWidth = 4;

const krsdbg_prefixWriter krsdbg_prefixSpec_default[] = {
    krsdbg_prefixBegin,     krsdbg_prefixComponent,  krsdbg_prefixSeparator, krsdbg_prefixFile,
    krsdbg_prefixSeparator, krsdbg_prefixLineNumber, krsdbg_prefixEnd,       nullptr};
const krsdbg_prefixWriter* krsdbg_prefixSpec = krsdbg_prefixSpec_default;

namespace {

// Copies while room remains and the source has characters; the terminator
// follows the last character copied, or replaces it when the room ran out.
char* boundedCopy(char* buffer, size_t room, const char* text, size_t length) {
    if (room == 0) {
        return buffer;
    }
    const size_t copied = length < room ? length : room;
    std::memcpy(buffer, text, copied);
    char* end = buffer + (copied < room ? copied : room - 1);
    *end = '\0';
    return end;
}

char* boundedPad(char* buffer, size_t room, char pad, size_t count) {
    if (room == 0) {
        return buffer;
    }
    const size_t written = count < room ? count : room;
    std::memset(buffer, pad, written);
    char* end = buffer + (written < room ? written : room - 1);
    *end = '\0';
    return end;
}

const char* fileOf(const krsdbg_location* location) {
    return location != nullptr && location->file != nullptr ? location->file : "";
}

} // namespace

char* krsdbg_fit(char* buffer, size_t room, const char* text, size_t width, char pad) {
    if (text == nullptr) {
        text = "";
    }
    const size_t length = std::strlen(text);
    if (width == 0) {
        return boundedCopy(buffer, room, text, length);
    }
    if (length >= width) {
        return boundedCopy(buffer, room, text + length - width, width);
    }
    const size_t padding = width - length;
    char* end = boundedPad(buffer, room, pad, padding);
    if (size_t(end - buffer) < padding) {
        return end; // the room ran out while padding
    }
    return boundedCopy(end, room - padding, text, length);
}

char* krsdbg_prefixBegin(char* buffer, size_t room, const krsdbg_location*) {
    return boundedCopy(buffer, room, "[", 1);
}

char* krsdbg_prefixComponent(char* buffer, size_t room, const krsdbg_location*) {
    return krsdbg_fit(buffer, room, nKRZEPH000::kStatusComponent, krsdbg_prefixComponentWidth, ' ');
}

char* krsdbg_prefixSeparator(char* buffer, size_t room, const krsdbg_location*) {
    return boundedCopy(buffer, room, "|", 1);
}

char* krsdbg_prefixFile(char* buffer, size_t room, const krsdbg_location* location) {
    return krsdbg_fit(buffer, room, fileOf(location), krsdbg_prefixFileWidth, ' ');
}

char* krsdbg_prefixLineNumber(char* buffer, size_t room, const krsdbg_location* location) {
    // Line 0 has no digits at all: it comes out as padding only.
    char digits[16] = "";
    const unsigned line = location != nullptr ? location->line : 0;
    if (line != 0) {
        std::snprintf(digits, sizeof digits, "%u", line);
    }
    return krsdbg_fit(buffer, room, digits, krsdbg_prefixLineNumberWidth, '0');
}

char* krsdbg_prefixEnd(char* buffer, size_t room, const krsdbg_location*) {
    return boundedCopy(buffer, room, "] ", 2);
}

char* krsdbg_writePrefix(char* buffer, size_t room, const krsdbg_location* location) {
    char* end = buffer;
    for (const krsdbg_prefixWriter* writer = krsdbg_prefixSpec; *writer != nullptr; ++writer) {
        end = (*writer)(end, room - size_t(end - buffer), location);
    }
    return end;
}
