// Helpers for the INI reader's tests: file objects that free themselves,
// parsing from text, streams that fail on purpose, and an allocator that
// fails on purpose and counts what is still allocated.
#pragma once

#include "ini/Ini.h"

#include <cstdio>
#include <memory>
#include <string>

struct IniFileDeleter {
    void operator()(IniFile* file) const { IniDestroy(file); }
};
using IniFilePtr = std::unique_ptr<IniFile, IniFileDeleter>;

// A new file object with the default settings and the given parse flags.
IniFilePtr makeIniFile(uint32_t parseFlags = kIniStripDoubleQuotes);

// Parses text (any bytes) through the stream path.
int32_t readText(IniFile* file, const std::string& text);

// The value of section/key, or "<missing>".
std::string valueOf(IniFile* file, const char* section, const char* key);

// A seekable stream over content whose reads fail with an error once the
// position reaches failAt; a failSeek stream also refuses every seek.
FILE* openFailingStream(const std::string& content, size_t failAt, bool failSeek = false);

// Installs an allocator that refuses the allocation numbered failAt (0 is the
// first) and every later one when failAt is not npos, and that counts live
// blocks. The heap allocator is back when the object goes.
class CountingAllocator {
public:
    static constexpr size_t npos = size_t(-1);
    explicit CountingAllocator(size_t failAt = npos);
    ~CountingAllocator();
    CountingAllocator(const CountingAllocator&) = delete;
    CountingAllocator& operator=(const CountingAllocator&) = delete;

    size_t calls() const;    // allocations and reallocations asked for
    long liveBlocks() const; // allocated and not yet freed
    bool refusedAny() const;
};
