// The file object and the sections and entries it owns.
#include "ini/IniObjects.h"

#include "ini/IniAllocator.h"
#include "ini/IniText.h"

IniEntry* IniEntryCreate(IniArena* arena, const char* key, size_t keyLength, const char* value,
                         size_t valueLength) {
    IniEntry* entry = static_cast<IniEntry*>(IniArenaAllocate(arena, sizeof(IniEntry)));
    if (!entry)
        return nullptr;
    entry->key = IniArenaCopyText(arena, key, keyLength);
    entry->value = IniArenaCopyText(arena, value, valueLength);
    return entry->key && entry->value ? entry : nullptr;
}

IniSection* IniSectionCreate(const char* name, size_t nameLength) {
    IniSection* section = static_cast<IniSection*>(IniAllocate(sizeof(IniSection)));
    if (!section)
        return nullptr;
    section->name = IniCopyText(name, nameLength);
    if (!section->name || ListInit(&section->entries, sizeof(IniEntry*)) != kIniStatusOk) {
        IniRelease(section->name);
        IniRelease(section);
        return nullptr;
    }
    return section;
}

void IniSectionDestroy(IniSection* section) {
    if (!section)
        return;
    ListFree(&section->entries); // the entries themselves are in the file's arena
    IniRelease(section->name);
    IniRelease(section);
}

void IniRemoveAllSections(IniFile* file) {
    const uint32_t count = ListCount(&file->sections);
    for (uint32_t position = 1; position <= count; ++position)
        IniSectionDestroy(IniSectionAt(&file->sections, int32_t(position)));
    ListRemove(&file->sections, -1, count);
    IniArenaFree(&file->arena);
    file->currentSection = nullptr;
}

IniFile* IniCreate(int32_t options) {
    if (options != 0)
        return nullptr;
    IniFile* file = static_cast<IniFile*>(IniAllocate(sizeof(IniFile)));
    if (!file)
        return nullptr;
    if (ListInit(&file->sections, sizeof(IniSection*)) != kIniStatusOk) {
        IniRelease(file);
        return nullptr;
    }
    IniArenaInit(&file->arena);
    file->currentSection = nullptr;
    file->mergeDuplicates = 1;
    file->caseSensitive = 0;
    file->parseFlags = kIniStripDoubleQuotes;
    return file;
}

void IniDestroy(IniFile* file) {
    if (!file)
        return;
    IniRemoveAllSections(file);
    ListFree(&file->sections);
    IniRelease(file);
}

int32_t IniSetParseFlags(IniFile* file, uint32_t flags) {
    if (!file)
        return kIniStatusInvalid;
    file->parseFlags = flags;
    return kIniStatusOk;
}

int32_t IniSetMergeDuplicates(IniFile* file, int32_t merge) {
    if (!file)
        return kIniStatusInvalid;
    file->mergeDuplicates = merge;
    return kIniStatusOk;
}

int32_t IniSetCaseSensitive(IniFile* file, int32_t caseSensitive) {
    if (!file)
        return kIniStatusInvalid;
    file->caseSensitive = caseSensitive;
    return kIniStatusOk;
}

IniSection* IniSectionAt(const List* sections, int32_t position) {
    return *static_cast<IniSection**>(ListElement(sections, position));
}

IniEntry* IniEntryAt(const List* entries, int32_t position) {
    return *static_cast<IniEntry**>(ListElement(entries, position));
}
