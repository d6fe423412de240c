// Inside the INI reader: the file object, its sections and their entries,
// and the functions that make and free them. Not for users of the reader.
#pragma once

#include "ini/Ini.h"
#include "ini/IniArena.h"
#include "ini/List.h"

#include <cstddef>

struct IniEntry {
    char* key;   // trimmed
    char* value; // trimmed, quotes removed as the parse flags say
};

struct IniSection {
    char* name;   // trimmed
    List entries; // IniEntry pointers, in file order
};

struct IniFile {
    List sections;              // IniSection pointers, in file order
    IniSection* currentSection; // found by the last section look-up, or null
    int32_t mergeDuplicates;
    int32_t caseSensitive;
    uint32_t parseFlags;
    IniArena arena; // the entries of the sections, with their keys and values
};

// A new entry in the arena holding copies of key and value (length bytes
// each), or null when memory is short. It goes when the arena is freed.
IniEntry* IniEntryCreate(IniArena* arena, const char* key, size_t keyLength, const char* value,
                         size_t valueLength);

// A new section without entries holding a copy of name, or null when memory
// is short.
IniSection* IniSectionCreate(const char* name, size_t nameLength);
void IniSectionDestroy(IniSection* section);

// Frees every section of the file object with its entries and forgets the
// current section.
void IniRemoveAllSections(IniFile* file);

// The name comparisons that the file object's case setting selects.
ListCompareFunction IniSectionComparison(const IniFile* file);
ListCompareFunction IniEntryComparison(const IniFile* file);

// What a name is compared as: the name itself when the file compares case
// sensitively, otherwise the bytes without surrounding white space, each in
// upper case (IniFoldCase). Two names compare equal exactly when their keys
// are equal. The key points into the name; nothing is copied.
struct IniNameKey {
    const char* begin;
    size_t length;
    bool folded; // bytes compare after IniFoldCase
};
IniNameKey IniComparisonKey(const IniFile* file, const char* name);
// The same for a name of length bytes without a zero byte among them.
IniNameKey IniComparisonKey(const IniFile* file, const char* name, size_t length);

// A byte in upper case, as the case-insensitive comparison folds it.
int IniFoldCase(char byte);

// The section of that name (which becomes the current section), or null.
IniSection* IniFindSection(IniFile* file, const char* name);

// The first entry of the section with that key, or null.
IniEntry* IniFindEntry(const IniFile* file, const IniSection* section, const char* key);

// The section pointer at a 1-based position of the list, or the entry.
IniSection* IniSectionAt(const List* sections, int32_t position);
IniEntry* IniEntryAt(const List* entries, int32_t position);
