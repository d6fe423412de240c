// The INI file reader: reads a text configuration file of sections and
// key/value entries into memory and answers look-ups by section and key.
//
//     [section]        a section header; the name is trimmed of white space
//     key = value      an entry of the section above it
//     ; comment        ignored, as is every line that is none of these
//
// White space is every byte that isspace or iscntrl accepts. A file object
// is used by one thread at a time. Texts handed out by look-ups belong to the
// file object and live until its next read or its destruction.
#pragma once

#include "ini/IniStatus.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct IniFile;

// Parse flags (IniSetParseFlags); a new file object has kIniStripDoubleQuotes.
// An entry with an empty value is kept instead of being an invalid line.
constexpr uint32_t kIniAcceptEmptyValue = 1;
// A value of two characters or more between double quotes loses them.
constexpr uint32_t kIniStripDoubleQuotes = 2;
// Likewise for single quotes, when the double quotes did not apply.
constexpr uint32_t kIniStripSingleQuotes = 4;
// ':' and ":=" separate key and value besides '='; entries before the first
// section header go into a section named "(null)" instead of being dropped.
constexpr uint32_t kIniColonAndNullSection = 8;

// Delivers one line, or the next piece of a long one, into buffer.
// Stores at most bufferSize - 1 bytes and a terminating zero. Sets
// *endOfLine when the line is complete, *endOfFile when no line is left,
// neither when the buffer filled up (call again, with more room, to continue
// the line). Stores the line's number in *lineNumber unless it is null.
// Returns 0 or a negative status, which ends the parse.
typedef int32_t (*IniLineInputFunction)(void* context, char* buffer, size_t bufferSize,
                                        int32_t* endOfFile, int32_t* endOfLine,
                                        uint32_t* lineNumber);

// --- File object -----------------------------------------------------------

// Returns a new, empty file object: duplicates merged, names compared
// ignoring case, parse flags kIniStripDoubleQuotes. Returns null when memory
// is short or when options is not 0.
IniFile* IniCreate(int32_t options);

// Frees the file object and everything it holds. Null is accepted.
void IniDestroy(IniFile* file);

// Sets the parse flags used by later reads. Returns 0, or -22 for null.
int32_t IniSetParseFlags(IniFile* file, uint32_t flags);

// With merge set (the default), a repeated section header continues the
// earlier section and a repeated key replaces the earlier value; otherwise
// both are kept and look-ups find the first. Returns 0, or -22 for null.
int32_t IniSetMergeDuplicates(IniFile* file, int32_t merge);

// With caseSensitive 0 (the default) names compare as IniCompareNoCase does,
// otherwise exactly. Returns 0, or -22 for null.
int32_t IniSetCaseSensitive(IniFile* file, int32_t caseSensitive);

// --- Reading ---------------------------------------------------------------
// Each read first removes every section the file object held. When a read
// fails part way, the sections parsed until then stay.

// Reads and parses the file at path. Returns 0; -22 when there is no such
// file (or file or path is null); -5001 when it exists but cannot be
// opened; otherwise as IniReadStream.
int32_t IniReadFile(IniFile* file, const char* path);

// Parses an open, seekable stream from its start. A UTF-8 byte-order mark is
// skipped. Returns 0; -3 for a UTF-16 or UTF-32 byte-order mark (nothing is
// parsed then); -5002 when the stream reports a read error; the negative
// result of a failed fseek; -12 when memory is short; -22 for null arguments.
int32_t IniReadStream(IniFile* file, FILE* stream);

// Parses the lines that input delivers from context, then joins continuation
// entries (IniJoinContinuations). Returns 0; -12 when memory is short; the
// input function's negative status; -22 for null arguments.
int32_t IniParse(IniFile* file, IniLineInputFunction input, void* context);

// Joins, in every section, each run of entries whose keys end in " Line1",
// " Line2", ... into one entry named by the first key without its suffix:
// the run starts at a key ending in " Line1" and takes every following entry
// whose key ends in " Line" and another number; the values are concatenated.
// A run whose first key is longer than 255 bytes before " Line" is left as
// it is. Returns 0, -12 when memory is short, -22 for null.
int32_t IniJoinContinuations(IniFile* file);

// --- Look-ups --------------------------------------------------------------
// A null file or name finds nothing.

// Returns 1 and stores the value in *value (unless value is null) when the
// section holds the key; otherwise 0 and stores null.
int32_t IniGetString(IniFile* file, const char* section, const char* key, const char** value);

// Returns 1 and stores the number when the value is an unsigned decimal
// number not above 4294967295, with optional white space around it and one
// optional '+' right before the digits; 0 when the key is missing or its
// value blank; -5022 when the value is anything else. *number is changed
// only on 1.
int32_t IniGetUnsigned(IniFile* file, const char* section, const char* key, uint32_t* number);

// Return 1 when the section (and key) exist, else 0.
int32_t IniSectionExists(IniFile* file, const char* section);
int32_t IniEntryExists(IniFile* file, const char* section, const char* key);

// --- Name comparisons ------------------------------------------------------
// Each takes the searched name and the address of a list element (a section
// or entry pointer) and returns 0 when the names are equal, as strcmp.

int IniCompareSectionToName(const void* name, const void* element);
int IniCompareEntryToName(const void* name, const void* element);
int IniCompareISectionToName(const void* name, const void* element);
int IniCompareIEntryToName(const void* name, const void* element);

// Compares two names ignoring case (toupper) and ignoring white space at the
// start and end of either. Returns <0, 0 or >0 as strcmp.
int IniCompareNoCase(const char* left, const char* right);
