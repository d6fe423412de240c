// Memory for the entries of one read: keys, values and the entries
// themselves are carved from large blocks that are freed all at once when
// the sections go, instead of three heap blocks per entry. A value that is
// replaced or joined leaves its old text in the arena until then.
#pragma once

#include <cstddef>

struct IniArenaBlock;

struct IniArena {
    IniArenaBlock* blocks; // newest first
    char* next;            // free space in the newest shared block
    size_t left;
};

void IniArenaInit(IniArena* arena);

// size bytes aligned for any of the reader's objects, or null when memory
// is short.
void* IniArenaAllocate(IniArena* arena, size_t size);

// A zero-terminated copy of length bytes of text, or null when memory is
// short.
char* IniArenaCopyText(IniArena* arena, const char* text, size_t length);

// Frees every block; the arena is empty and usable again.
void IniArenaFree(IniArena* arena);
