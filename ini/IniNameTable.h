// A hash table of the reader's sections or entries by name, for the merge
// index: open addressing over one array of pointers, so adding a name
// allocates nothing but, now and then, a twice larger array. The names are
// read from the items themselves, so the table holds no copies.
#pragma once

#include "ini/IniObjects.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
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

    // The item of the name of length bytes, or null.
    Item* find(const char* name, size_t length) {
        const IniNameKey key = IniComparisonKey(m_file, name, length);
        const size_t hash = hashOf(key);
        for (size_t slot = hash & mask(); !m_slots.empty(); slot = (slot + 1) & mask()) {
            const Slot& found = m_slots[slot];
            if (!found.item)
                break;
            if (found.hash == hash && equal(key, IniComparisonKey(m_file, Name(found.item))))
                return found.item;
        }
        m_missed.remember(key, hash);
        return nullptr;
    }

    // Adds an item whose name is not in the table yet. Throws std::bad_alloc
    // when the array cannot grow; the table is then as it was.
    void add(Item* item) {
        if ((m_count + 1) * 4 > m_slots.size() * 3)
            grow();
        const IniNameKey key = IniComparisonKey(m_file, Name(item));
        size_t hash = 0;
        if (!m_missed.recall(key, &hash))
            hash = hashOf(key);
        place(m_slots, Slot{item, hash});
        ++m_count;
    }

private:
    // The name the last find did not find, with its hash: the name is
    // usually added next, and its hash need not be worked out twice. Kept
    // as a copy of its bytes, so it is right whatever happened meanwhile.
    class Missed {
    public:
        void remember(const IniNameKey& key, size_t hash) {
            m_length = key.length <= sizeof m_bytes ? key.length : kNone;
            if (m_length != kNone)
                memcpy(m_bytes, key.begin, m_length);
            m_hash = hash;
        }
        bool recall(const IniNameKey& key, size_t* hash) {
            const bool same = key.length == m_length && memcmp(key.begin, m_bytes, m_length) == 0;
            m_length = kNone;
            *hash = m_hash;
            return same;
        }

    private:
        static constexpr size_t kNone = SIZE_MAX;
        char m_bytes[64];
        size_t m_length = kNone;
        size_t m_hash = 0;
    };

    struct Slot {
        Item* item; // null: free
        size_t hash;
    };

    size_t mask() const { return m_slots.size() - 1; }

    void grow() {
        // 32 slots hold a section of 24 entries, the common size, at once.
        std::vector<Slot> larger(m_slots.empty() ? 32 : m_slots.size() * 2, Slot{nullptr, 0});
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
    Missed m_missed;
};
