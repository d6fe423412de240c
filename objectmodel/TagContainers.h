// The ordered containers a property bag keeps its tags in: sorted vectors.
// A bag holds a few dozen tags; one block for all of them costs far less
// than a tree node for each, and keeps them in the same ascending order.
// Inserting one element either succeeds or leaves the container as it was.
// The first insert makes room for a whole item's properties at once, so a
// bag being filled does not grow its block again and again.
#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

// Room made by a container's first insert: a camera's bag has some 26 tags.
constexpr size_t kFirstCapacity = 32;

// Values under 32-bit tags, in ascending tag order.
template <class Value>
class TagMap {
public:
    using Entry = std::pair<uint32_t, Value>;
    using iterator = typename std::vector<Entry>::iterator;
    using const_iterator = typename std::vector<Entry>::const_iterator;

    iterator find(uint32_t tag) {
        const iterator place = lowerBound(tag);
        return place != m_entries.end() && place->first == tag ? place : m_entries.end();
    }
    size_t count(uint32_t tag) { return find(tag) != m_entries.end() ? 1 : 0; }

    // Inserts when the tag is new; the iterator points at the tag's entry.
    std::pair<iterator, bool> emplace(uint32_t tag, Value value) {
        const iterator place = lowerBound(tag);
        if (place != m_entries.end() && place->first == tag) {
            return {place, false};
        }
        if (m_entries.capacity() == 0) {
            m_entries.reserve(kFirstCapacity);
            return {m_entries.insert(m_entries.end(), Entry(tag, std::move(value))), true};
        }
        return {m_entries.insert(place, Entry(tag, std::move(value))), true};
    }

    void erase(iterator entry) { m_entries.erase(entry); }
    void clear() { m_entries.clear(); }
    bool empty() const { return m_entries.empty(); }
    size_t size() const { return m_entries.size(); }

    iterator begin() { return m_entries.begin(); }
    iterator end() { return m_entries.end(); }
    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }

private:
    iterator lowerBound(uint32_t tag) {
        return std::lower_bound(m_entries.begin(), m_entries.end(), tag,
                                [](const Entry& entry, uint32_t key) { return entry.first < key; });
    }

    std::vector<Entry> m_entries;
};

// 32-bit tags, each once, in ascending order.
class TagSet {
public:
    using const_iterator = std::vector<uint32_t>::const_iterator;

    // True when the tag was not there yet.
    bool insert(uint32_t tag) {
        const auto place = std::lower_bound(m_tags.begin(), m_tags.end(), tag);
        if (place != m_tags.end() && *place == tag) {
            return false;
        }
        if (m_tags.capacity() == 0) {
            m_tags.reserve(kFirstCapacity);
            m_tags.push_back(tag);
            return true;
        }
        m_tags.insert(place, tag);
        return true;
    }

    void erase(uint32_t tag) {
        const auto place = std::lower_bound(m_tags.begin(), m_tags.end(), tag);
        if (place != m_tags.end() && *place == tag) {
            m_tags.erase(place);
        }
    }

    void clear() { m_tags.clear(); }
    bool empty() const { return m_tags.empty(); }
    const std::vector<uint32_t>& tags() const { return m_tags; }

private:
    std::vector<uint32_t> m_tags;
};
