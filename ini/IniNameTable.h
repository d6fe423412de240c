// A hash table of the reader's sections or entries by name, for the merge
// index: open addressing over one array of pointers, so adding a name
// allocates nothing but, now and then, a twice larger array. The names are
// read from the items themselves, so the table holds no copies.
#pragma once

#include "ini/IniObjects.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Every byte as the case-insensitive comparison folds it, worked out once
// per read rather than with a library call per byte.
struct IniFoldTable {
    IniFoldTable() {
        for (int byte = 0; byte < 256; ++byte)
            folded[byte] = static_cast<unsigned char>(IniFoldCase(char(byte)));
    }
    unsigned char operator()(char byte) const { return folded[static_cast<unsigned char>(byte)]; }
    unsigned char folded[256];
};

// Name: a function returning the name an item is found by.
template <class Item, const char* (*Name)(const Item*)>
class IniNameTable {
public:
    IniNameTable(const IniFile* file, const IniFoldTable* fold) : m_file(file), m_fold(fold) {}

    // The item of that name, or null.
    Item* find(const char* name) const {
        if (m_slots.empty())
            return nullptr;
        const IniNameKey key = IniComparisonKey(m_file, name);
        const size_t hash = hashOf(key);
        for (size_t slot = hash & mask();; slot = (slot + 1) & mask()) {
            const Slot& found = m_slots[slot];
            if (!found.item)
                return nullptr;
            if (found.hash == hash && equal(key, IniComparisonKey(m_file, Name(found.item))))
                return found.item;
        }
    }

    // Adds an item whose name is not in the table yet. Throws std::bad_alloc
    // when the array cannot grow; the table is then as it was.
    void add(Item* item) {
        if ((m_count + 1) * 2 > m_slots.size())
            grow();
        place(m_slots, Slot{item, hashOf(IniComparisonKey(m_file, Name(item)))});
        ++m_count;
    }

private:
    struct Slot {
        Item* item; // null: free
        size_t hash;
    };

    size_t mask() const { return m_slots.size() - 1; }

    void grow() {
        std::vector<Slot> larger(m_slots.empty() ? 16 : m_slots.size() * 2, Slot{nullptr, 0});
        for (const Slot& slot : m_slots) {
            if (slot.item)
                place(larger, slot);
        }
        m_slots.swap(larger);
    }

    static void place(std::vector<Slot>& slots, const Slot& placed) {
        const size_t mask = slots.size() - 1;
        size_t slot = placed.hash & mask;
        while (slots[slot].item)
            slot = (slot + 1) & mask;
        slots[slot] = placed;
    }

    // FNV-1a over the bytes as the comparison sees them, then mixed so that
    // the low bits, which choose the slot, depend on every byte.
    size_t hashOf(const IniNameKey& key) const {
        uint64_t hash = 1469598103934665603ull;
        for (size_t i = 0; i < key.length; ++i) {
            const unsigned byte =
                key.folded ? (*m_fold)(key.begin[i]) : static_cast<unsigned char>(key.begin[i]);
            hash = (hash ^ byte) * 1099511628211ull;
        }
        hash ^= hash >> 33;
        hash *= 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 33;
        return size_t(hash);
    }

    bool equal(const IniNameKey& a, const IniNameKey& b) const {
        if (a.length != b.length)
            return false;
        for (size_t i = 0; i < a.length; ++i) {
            if (a.begin[i] != b.begin[i] &&
                (!a.folded || (*m_fold)(a.begin[i]) != (*m_fold)(b.begin[i])))
                return false;
        }
        return true;
    }

    const IniFile* m_file;
    const IniFoldTable* m_fold;
    std::vector<Slot> m_slots;
    size_t m_count = 0;
};
