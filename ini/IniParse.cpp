// The parser: reads lines through an input function, classifies each one as
// a comment, a section header or an entry, and builds the sections. Lines
// that are none of these are skipped.
#include "ini/IniAllocator.h"
#include "ini/IniMergeIndex.h"
#include "ini/IniObjects.h"
#include "ini/IniText.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kInitialBufferSize = 256;

// The line and the three parts taken from it. All four have the same size,
// so a part always fits: it is never longer than the line.
struct ParseBuffers {
    char* line;
    char* section;
    char* key;
    char* value;
    size_t size;
};

void freeBuffers(ParseBuffers* buffers) {
    IniRelease(buffers->line);
    IniRelease(buffers->section);
    IniRelease(buffers->key);
    IniRelease(buffers->value);
}

int32_t allocateBuffers(ParseBuffers* buffers) {
    buffers->size = kInitialBufferSize;
    buffers->line = static_cast<char*>(IniAllocate(kInitialBufferSize));
    buffers->section = static_cast<char*>(IniAllocate(kInitialBufferSize));
    buffers->key = static_cast<char*>(IniAllocate(kInitialBufferSize));
    buffers->value = static_cast<char*>(IniAllocate(kInitialBufferSize));
    if (buffers->line && buffers->section && buffers->key && buffers->value)
        return kIniStatusOk;
    freeBuffers(buffers);
    return kIniStatusNoMemory;
}

// Grows one buffer to size bytes, keeping it as it was when memory is short.
bool growBuffer(char** buffer, size_t size) {
    char* grown = static_cast<char*>(IniReallocate(*buffer, size));
    if (!grown)
        return false;
    *buffer = grown;
    return true;
}

// Doubles all four buffers; the size counts only once all four have grown.
int32_t doubleBuffers(ParseBuffers* buffers) {
    if (buffers->size > SIZE_MAX / 2)
        return kIniStatusNoMemory;
    const size_t size = buffers->size * 2;
    if (!growBuffer(&buffers->line, size) || !growBuffer(&buffers->section, size) ||
        !growBuffer(&buffers->key, size) || !growBuffer(&buffers->value, size))
        return kIniStatusNoMemory;
    buffers->size = size;
    return kIniStatusOk;
}

// Reads one whole line into buffers->line, growing the buffers as needed.
int32_t readLine(IniLineInputFunction input, void* context, ParseBuffers* buffers,
                 int32_t* endOfFile) {
    size_t length = 0;
    for (;;) {
        int32_t endOfLine = 0;
        *endOfFile = 0;
        const int32_t status = input(context, buffers->line + length, buffers->size - length,
                                     endOfFile, &endOfLine, nullptr);
        if (status < 0)
            return status;
        length += strlen(buffers->line + length);
        if (*endOfFile || endOfLine)
            return kIniStatusOk;
        const int32_t grown = doubleBuffers(buffers);
        if (grown != kIniStatusOk)
            return grown;
    }
}

// Removes surrounding quotes from value (length bytes) as the flags say.
void removeQuotes(uint32_t parseFlags, const char** value, size_t* length) {
    const char* text = *value;
    const size_t size = *length;
    const bool doubleQuoted = size >= 2 && text[0] == '"' && text[size - 1] == '"';
    const bool singleQuoted = size >= 2 && text[0] == '\'' && text[size - 1] == '\'';
    if (((parseFlags & kIniStripDoubleQuotes) && doubleQuoted) ||
        ((parseFlags & kIniStripSingleQuotes) && singleQuoted)) {
        *value = text + 1;
        *length = size - 2;
    }
}

int32_t appendSection(IniFile* file, IniMergeIndex& index, const char* name, size_t length) {
    IniSection* section = IniSectionCreate(name, length);
    if (!section)
        return kIniStatusNoMemory;
    if (ListInsert(&file->sections, 0, &section, 1) != kIniStatusOk) {
        IniSectionDestroy(section);
        return kIniStatusNoMemory;
    }
    index.sectionAdded(section);
    file->currentSection = section;
    return kIniStatusOk;
}

// Makes the named section current: an earlier one of that name when
// duplicates merge, otherwise a new one.
int32_t openSection(IniFile* file, IniMergeIndex& index, const char* name, size_t length) {
    if (file->mergeDuplicates) {
        IniSection* earlier = index.findSection(name, length);
        if (earlier) {
            file->currentSection = earlier;
            return kIniStatusOk;
        }
    }
    return appendSection(file, index, name, length);
}

int32_t replaceValue(IniFile* file, IniEntry* entry, const char* value, size_t length) {
    char* copy = IniArenaCopyText(&file->arena, value, length);
    if (!copy)
        return kIniStatusNoMemory;
    entry->value = copy; // the old text stays in the arena until the sections go
    return kIniStatusOk;
}

int32_t addEntry(IniFile* file, IniMergeIndex& index, const char* key, size_t keyLength,
                 const char* value, size_t valueLength) {
    if (!file->currentSection) {
        if (!(file->parseFlags & kIniColonAndNullSection))
            return kIniStatusOk; // an entry outside any section is dropped
        const int32_t status = appendSection(file, index, "(null)", strlen("(null)"));
        if (status != kIniStatusOk)
            return status;
    }
    IniSection* section = file->currentSection;
    if (file->mergeDuplicates) {
        IniEntry* earlier = index.findEntry(section, key, keyLength);
        if (earlier)
            return replaceValue(file, earlier, value, valueLength);
    }
    IniEntry* entry = IniEntryCreate(&file->arena, key, keyLength, value, valueLength);
    if (!entry || ListInsert(&section->entries, 0, &entry, 1) != kIniStatusOk)
        return kIniStatusNoMemory;
    index.entryAdded(section, entry);
    return kIniStatusOk;
}

// "[name]" with white space allowed around the name; text after ']' is
// ignored. Without ']' or with an empty name the line is skipped.
int32_t parseSectionHeader(IniFile* file, IniMergeIndex& index, const char* afterBracket,
                           ParseBuffers* buffers) {
    const char* name = IniSkipWhiteSpace(afterBracket);
    const char* close = strchr(name, ']');
    if (!close)
        return kIniStatusOk;
    const size_t length = IniLengthWithoutTrailingSpace(name, size_t(close - name));
    if (length == 0)
        return kIniStatusOk;
    memcpy(buffers->section, name, length);
    buffers->section[length] = '\0';
    return openSection(file, index, buffers->section, length);
}

// The first '=' (or, with the colon flag, the first ':' or '='); ":=" is one
// separator. Returns null when there is none.
const char* findSeparator(const char* text, uint32_t parseFlags, size_t* separatorLength) {
    const char* separator =
        (parseFlags & kIniColonAndNullSection) ? strpbrk(text, ":=") : strchr(text, '=');
    if (separator)
        *separatorLength = (separator[0] == ':' && separator[1] == '=') ? 2 : 1;
    return separator;
}

// "key = value". Without a separator, with an empty key, or with an empty
// value (unless the flags accept it) the line is skipped.
int32_t parseEntry(IniFile* file, IniMergeIndex& index, const char* text, ParseBuffers* buffers) {
    size_t separatorLength = 0;
    const char* separator = findSeparator(text, file->parseFlags, &separatorLength);
    if (!separator)
        return kIniStatusOk;
    const size_t keyLength = IniLengthWithoutTrailingSpace(text, size_t(separator - text));
    if (keyLength == 0)
        return kIniStatusOk;
    const char* value = IniSkipWhiteSpace(separator + separatorLength);
    size_t valueLength = IniLengthWithoutTrailingSpace(value, strlen(value));
    if (valueLength == 0 && !(file->parseFlags & kIniAcceptEmptyValue))
        return kIniStatusOk;
    removeQuotes(file->parseFlags, &value, &valueLength);

    memcpy(buffers->key, text, keyLength);
    buffers->key[keyLength] = '\0';
    memcpy(buffers->value, value, valueLength);
    buffers->value[valueLength] = '\0';
    return addEntry(file, index, buffers->key, keyLength, buffers->value, valueLength);
}

int32_t parseLine(IniFile* file, IniMergeIndex& index, ParseBuffers* buffers) {
    const char* text = IniSkipWhiteSpace(buffers->line);
    if (*text == ';')
        return kIniStatusOk;
    if (*text == '[')
        return parseSectionHeader(file, index, text + 1, buffers);
    return parseEntry(file, index, text, buffers);
}

} // namespace

int32_t IniParse(IniFile* file, IniLineInputFunction input, void* context) {
    if (!file || !input)
        return kIniStatusInvalid;
    IniRemoveAllSections(file);

    ParseBuffers buffers;
    int32_t status = allocateBuffers(&buffers);
    if (status != kIniStatusOk)
        return status;
    IniMergeIndex index(file);
    for (;;) {
        int32_t endOfFile = 0;
        status = readLine(input, context, &buffers, &endOfFile);
        if (status != kIniStatusOk)
            break;
        // An input function may report the end together with a last line.
        if (!endOfFile || buffers.line[0] != '\0')
            status = parseLine(file, index, &buffers);
        if (status != kIniStatusOk || endOfFile)
            break;
    }
    freeBuffers(&buffers);
    // The parse used the cache for the section being filled. Look-ups must
    // start from the first section, or a duplicate section (when duplicates
    // are kept) would hide the first one of its name.
    file->currentSection = nullptr;
    if (status != kIniStatusOk)
        return status;
    return IniJoinContinuations(file);
}
