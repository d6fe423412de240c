#include "ini/IniMergeIndex.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

bool g_enabled = true;

} // namespace

IniMergeIndex::EntryTable& IniMergeIndex::entriesOf(const IniSection* section) {
    if (section != m_lastSection) {
        std::unique_ptr<EntryTable>& table = m_entries[section];
        if (!table)
            table = std::make_unique<EntryTable>(m_file, &m_fold);
        m_lastSection = section;
        m_lastEntries = table.get();
    }
    return *m_lastEntries;
}

void IniMergeIndex::setEnabled(bool enabled) {
    g_enabled = enabled;
}

void IniMergeIndex::giveUp() {
    m_usable = false;
    m_sections = IniNameTable<IniSection, sectionName>(m_file, &m_fold);
    m_entries.clear();
    m_lastSection = nullptr;
    m_lastEntries = nullptr;
}

IniSection* IniMergeIndex::findSection(const char* name, size_t length) {
    if (!g_enabled || !m_usable) {
        const int32_t position =
            ListSearch(&m_file->sections, -1, name, IniSectionComparison(m_file));
        return position ? IniSectionAt(&m_file->sections, position) : nullptr;
    }
    try {
        return m_sections.find(name, length);
    } catch (const std::bad_alloc&) {
        giveUp();
        return findSection(name, length);
    }
}

void IniMergeIndex::sectionAdded(IniSection* section) {
    if (!g_enabled || !m_usable) {
        return;
    }
    try {
        m_sections.add(section);
    } catch (const std::bad_alloc&) {
        giveUp();
    }
}

IniEntry* IniMergeIndex::findEntry(const IniSection* section, const char* key, size_t length) {
    if (!g_enabled || !m_usable) {
        return IniFindEntry(m_file, section, key);
    }
    try {
        return entriesOf(section).find(key, length);
    } catch (const std::bad_alloc&) {
        giveUp();
        return findEntry(section, key, length);
    }
}

void IniMergeIndex::entryAdded(const IniSection* section, IniEntry* entry) {
    if (!g_enabled || !m_usable) {
        return;
    }
    try {
        entriesOf(section).add(entry);
    } catch (const std::bad_alloc&) {
        giveUp();
    }
}
