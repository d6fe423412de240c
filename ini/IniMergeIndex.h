// The look-ups that merging duplicates makes while a file is parsed, by hash
// instead of by walking the lists: sections by name, and each section's
// entries by key.
//
// It finds exactly what the walk finds. With merging, the lists never hold
// two names that compare equal, so the walk's first match is the only one;
// the index keys each name by IniComparisonKey, under which two names are
// equal exactly when the file's comparison says so; a key points into the
// name it stands for, so a look-up builds no string. When the index cannot
// get memory it gives up, and every later look-up walks the lists. A file
// that keeps duplicates never looks anything up, so for it the index stays
// empty.
#pragma once

#include "ini/IniNameTable.h"
#include "ini/IniObjects.h"

#include <memory>
#include <unordered_map>

class IniMergeIndex {
public:
    explicit IniMergeIndex(IniFile* file)
        : m_file(file), m_usable(file->mergeDuplicates != 0), m_sections(file, &m_fold) {}

    // Look-ups of a name of length bytes, as the parser has it.
    IniSection* findSection(const char* name, size_t length);
    void sectionAdded(IniSection* section);

    IniEntry* findEntry(const IniSection* section, const char* key, size_t length);
    void entryAdded(const IniSection* section, IniEntry* entry);

    // Whether look-ups use the index (tests compare both ways; false walks).
    static void setEnabled(bool enabled);

private:
    static const char* sectionName(const IniSection* section) { return section->name; }
    static const char* entryKey(const IniEntry* entry) { return entry->key; }
    using EntryTable = IniNameTable<IniEntry, entryKey>;

    void giveUp();

    // The entry table of a section, made when first asked for; the last one
    // is remembered, as entries come section by section.
    EntryTable& entriesOf(const IniSection* section);

    IniFile* m_file;
    bool m_usable;
    IniFoldTable m_fold;
    IniNameTable<IniSection, sectionName> m_sections;
    std::unordered_map<const IniSection*, std::unique_ptr<EntryTable>> m_entries;
    const IniSection* m_lastSection = nullptr;
    EntryTable* m_lastEntries = nullptr;
};
