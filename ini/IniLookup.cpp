// Look-ups of sections and keys. A section look-up tries the current section
// first, so reading several keys of one section searches the list once.
#include "ini/IniObjects.h"

ListCompareFunction IniSectionComparison(const IniFile* file) {
    return file->caseSensitive ? IniCompareSectionToName : IniCompareISectionToName;
}

ListCompareFunction IniEntryComparison(const IniFile* file) {
    return file->caseSensitive ? IniCompareEntryToName : IniCompareIEntryToName;
}

IniSection* IniFindSection(IniFile* file, const char* name) {
    const ListCompareFunction compare = IniSectionComparison(file);
    if (file->currentSection && compare(name, &file->currentSection) == 0)
        return file->currentSection;
    const int32_t position = ListSearch(&file->sections, -1, name, compare);
    if (position == 0)
        return nullptr;
    file->currentSection = IniSectionAt(&file->sections, position);
    return file->currentSection;
}

IniEntry* IniFindEntry(const IniFile* file, const IniSection* section, const char* key) {
    const int32_t position = ListSearch(&section->entries, -1, key, IniEntryComparison(file));
    return position ? IniEntryAt(&section->entries, position) : nullptr;
}

int32_t IniGetString(IniFile* file, const char* section, const char* key, const char** value) {
    if (value)
        *value = nullptr;
    if (!file || !section || !key)
        return kIniNotFound;
    const IniSection* found = IniFindSection(file, section);
    const IniEntry* entry = found ? IniFindEntry(file, found, key) : nullptr;
    if (!entry)
        return kIniNotFound;
    if (value)
        *value = entry->value;
    return kIniFound;
}

int32_t IniSectionExists(IniFile* file, const char* section) {
    if (!file || !section)
        return kIniNotFound;
    return IniFindSection(file, section) ? kIniFound : kIniNotFound;
}

int32_t IniEntryExists(IniFile* file, const char* section, const char* key) {
    return IniGetString(file, section, key, nullptr);
}
