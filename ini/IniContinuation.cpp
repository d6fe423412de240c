// Joining continuation entries: a long value may be written as entries
// "name Line1", "name Line2", ... and is read back as one entry "name".
#include "ini/IniObjects.h"
#include "ini/IniText.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char kSuffixMarker[] = " Line";
constexpr size_t kSuffixMarkerLength = sizeof kSuffixMarker - 1;

// Base names are built in a buffer of this size; longer ones are not joined.
constexpr size_t kBaseNameBufferSize = 256;

bool isDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

// Whether key ends in " Line" and a number; the marker is the first " Line"
// of the key. The number must fit a 32-bit long, the controller's long.
bool findContinuationSuffix(const char* key, size_t* baseLength, int32_t* number) {
    const char* marker = strstr(key, kSuffixMarker);
    if (!marker)
        return false;
    const char* digits = marker + kSuffixMarkerLength;
    if (!isDigit(*digits))
        return false;
    int64_t value = 0;
    for (; isDigit(*digits); ++digits) {
        value = value * 10 + (*digits - '0');
        if (value > INT32_MAX)
            return false;
    }
    if (*digits != '\0')
        return false;
    *baseLength = size_t(marker - key);
    *number = int32_t(value);
    return true;
}

bool continuesRun(const IniEntry* entry) {
    size_t baseLength = 0;
    int32_t number = 0;
    return findContinuationSuffix(entry->key, &baseLength, &number) && number != 1;
}

// Joins the entries at positions first .. last - 1 into the one at first.
// The joined texts come from the arena; the replaced ones stay there.
int32_t joinRun(IniArena* arena, List* entries, uint32_t first, uint32_t last,
                const char* baseName) {
    size_t total = 0;
    for (uint32_t position = first; position < last; ++position) {
        const size_t length = strlen(IniEntryAt(entries, int32_t(position))->value);
        if (length >= SIZE_MAX - total)
            return kIniStatusNoMemory;
        total += length;
    }
    char* value = static_cast<char*>(IniArenaAllocate(arena, total + 1));
    char* key = value ? IniArenaCopyText(arena, baseName, strlen(baseName)) : nullptr;
    if (!key)
        return kIniStatusNoMemory;
    size_t filled = 0;
    for (uint32_t position = first; position < last; ++position) {
        const char* part = IniEntryAt(entries, int32_t(position))->value;
        const size_t length = strlen(part);
        memcpy(value + filled, part, length);
        filled += length;
    }
    value[filled] = '\0';

    IniEntry* joined = IniEntryAt(entries, int32_t(first));
    joined->key = key;
    joined->value = value;
    ListRemove(entries, int32_t(first + 1), last - first - 1);
    return kIniStatusOk;
}

int32_t joinSection(IniArena* arena, IniSection* section) {
    List* entries = &section->entries;
    for (uint32_t position = 1; position <= ListCount(entries); ++position) {
        const IniEntry* entry = IniEntryAt(entries, int32_t(position));
        size_t baseLength = 0;
        int32_t number = 0;
        if (!findContinuationSuffix(entry->key, &baseLength, &number) || number != 1)
            continue;
        if (baseLength >= kBaseNameBufferSize)
            continue; // does not fit the base name buffer: left as it stands
        char baseName[kBaseNameBufferSize];
        memcpy(baseName, entry->key, baseLength);
        baseName[baseLength] = '\0';

        uint32_t last = position + 1;
        while (last <= ListCount(entries) && continuesRun(IniEntryAt(entries, int32_t(last))))
            ++last;
        const int32_t status = joinRun(arena, entries, position, last, baseName);
        if (status != kIniStatusOk)
            return status;
    }
    return kIniStatusOk;
}

} // namespace

int32_t IniJoinContinuations(IniFile* file) {
    if (!file)
        return kIniStatusInvalid;
    const uint32_t count = ListCount(&file->sections);
    for (uint32_t position = 1; position <= count; ++position) {
        const int32_t status =
            joinSection(&file->arena, IniSectionAt(&file->sections, int32_t(position)));
        if (status != kIniStatusOk)
            return status;
    }
    return kIniStatusOk;
}
