// The look-ups that merging duplicates makes while a file is parsed, by hash
// instead of by walking the lists: sections by name, and each section's
// entries by key.
//
// It finds exactly what the walk finds. With merging, the lists never hold
// two names that compare equal, so the walk's first match is the only one;
// the index keys each name by IniComparisonKey, under which two names are
// equal exactly when the file's comparison says so. When the index cannot
// get memory it gives up, and every later look-up walks the lists. A file
// that keeps duplicates never looks anything up, so for it the index stays
// empty.
#pragma once

#include "ini/IniObjects.h"

#include <string>
#include <unordered_map>

class IniMergeIndex {
public:
    explicit IniMergeIndex(IniFile* file) : m_file(file), m_usable(file->mergeDuplicates != 0) {}

    IniSection* findSection(const char* name);
    void sectionAdded(IniSection* section);

    IniEntry* findEntry(const IniSection* section, const char* key);
    void entryAdded(const IniSection* section, IniEntry* entry);

    // Whether look-ups use the index (tests compare both ways; false walks).
    static void setEnabled(bool enabled);

private:
    void giveUp();

    IniFile* m_file;
    bool m_usable;
    std::unordered_map<std::string, IniSection*> m_sections;
    std::unordered_map<const IniSection*, std::unordered_map<std::string, IniEntry*>> m_entries;
};
