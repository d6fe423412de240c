#include "ini/IniMergeIndex.h"

#include <new>

namespace {

bool g_enabled = true;

} // namespace

void IniMergeIndex::setEnabled(bool enabled) {
    g_enabled = enabled;
}

void IniMergeIndex::giveUp() {
    m_usable = false;
    m_sections.clear();
    m_entries.clear();
}

IniSection* IniMergeIndex::findSection(const char* name) {
    if (!g_enabled || !m_usable) {
        const int32_t position =
            ListSearch(&m_file->sections, -1, name, IniSectionComparison(m_file));
        return position ? IniSectionAt(&m_file->sections, position) : nullptr;
    }
    try {
        const auto found = m_sections.find(IniComparisonKey(m_file, name));
        return found != m_sections.end() ? found->second : nullptr;
    } catch (const std::bad_alloc&) {
        giveUp();
        return findSection(name);
    }
}

void IniMergeIndex::sectionAdded(IniSection* section) {
    if (!g_enabled || !m_usable) {
        return;
    }
    try {
        m_sections.emplace(IniComparisonKey(m_file, section->name), section);
    } catch (const std::bad_alloc&) {
        giveUp();
    }
}

IniEntry* IniMergeIndex::findEntry(const IniSection* section, const char* key) {
    if (!g_enabled || !m_usable) {
        return IniFindEntry(m_file, section, key);
    }
    try {
        const auto entries = m_entries.find(section);
        if (entries == m_entries.end()) {
            return nullptr;
        }
        const auto found = entries->second.find(IniComparisonKey(m_file, key));
        return found != entries->second.end() ? found->second : nullptr;
    } catch (const std::bad_alloc&) {
        giveUp();
        return findEntry(section, key);
    }
}

void IniMergeIndex::entryAdded(const IniSection* section, IniEntry* entry) {
    if (!g_enabled || !m_usable) {
        return;
    }
    try {
        m_entries[section].emplace(IniComparisonKey(m_file, entry->key), entry);
    } catch (const std::bad_alloc&) {
        giveUp();
    }
}
