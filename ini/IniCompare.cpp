// Name comparisons for sections and entries: exact, or ignoring case and
// surrounding white space.
#include "ini/IniObjects.h"
#include "ini/IniText.h"

#include <cctype>
#include <cstring>

namespace {

bool isBlankToEnd(const char* text) {
    return *IniSkipWhiteSpace(text) == '\0';
}

int upper(char byte) {
    return IniFoldCase(byte);
}

const char* sectionName(const void* element) {
    return (*static_cast<IniSection* const*>(element))->name;
}

const char* entryKey(const void* element) {
    return (*static_cast<IniEntry* const*>(element))->key;
}

} // namespace

// toupper, without the library call for ASCII bytes that are no letters:
// those are their own upper case in every locale.
int IniFoldCase(char byte) {
    const int c = static_cast<unsigned char>(byte);
    const bool asciiLetter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
    return (c < 0x80 && !asciiLetter) ? c : toupper(c);
}

int IniCompareNoCase(const char* left, const char* right) {
    left = IniSkipWhiteSpace(left);
    right = IniSkipWhiteSpace(right);
    // Equal bytes need no case conversion; names mostly differ in a byte or
    // two after a common start, so toupper runs for few bytes.
    while (*left && (*left == *right || upper(*left) == upper(*right))) {
        ++left;
        ++right;
    }
    if ((*left == '\0' || IniIsWhiteSpace(*left)) && (*right == '\0' || IniIsWhiteSpace(*right)) &&
        isBlankToEnd(left) && isBlankToEnd(right))
        return 0;
    return upper(*left) - upper(*right);
}

int IniCompareSectionToName(const void* name, const void* element) {
    return strcmp(static_cast<const char*>(name), sectionName(element));
}

int IniCompareEntryToName(const void* name, const void* element) {
    return strcmp(static_cast<const char*>(name), entryKey(element));
}

int IniCompareISectionToName(const void* name, const void* element) {
    return IniCompareNoCase(static_cast<const char*>(name), sectionName(element));
}

int IniCompareIEntryToName(const void* name, const void* element) {
    return IniCompareNoCase(static_cast<const char*>(name), entryKey(element));
}

IniNameKey IniComparisonKey(const IniFile* file, const char* name) {
    return IniComparisonKey(file, name, strlen(name));
}

IniNameKey IniComparisonKey(const IniFile* file, const char* name, size_t length) {
    if (file->caseSensitive) {
        return {name, length, false};
    }
    const char* end = name + length;
    while (name != end && IniIsWhiteSpace(*name))
        ++name;
    return {name, IniLengthWithoutTrailingSpace(name, size_t(end - name)), true};
}
