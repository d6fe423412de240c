// An owned, zero-terminated text of code units: the system's wide string
// (16-bit units) and its narrow string (8-bit units).
//
// Every constructor allocates an exact fit: length + 1 units, the last one
// the terminator. Sizes are computed with checked arithmetic in a fixed
// order (length, plus one for the terminator, times the unit size) before
// anything is allocated, so a failing constructor leaves nothing behind and
// a failing assignment leaves the target as it was.
//
// Strings compare case-insensitively: each unit up to 0xFF is folded with
// the runtime library's toupper, units above 0xFF compare by their value.
// That order is the order of every container of names in the system.
//
// C is the character type of the text, N the narrow character type that a
// wide string is converted from, U the code unit that sizes are counted in
// (the size of C).
#pragma once

#include "tarn/Allocation.h"
#include "tarn/Exception.h"
#include "tarn/NumericCast.h"
#include "tarn/SafeInteger.h"
#include "tarn/osdep/AnsiToWide.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

namespace kr::tarn {

namespace detail {
constexpr const char* k_stringBaseFile = "tarn/StringBase.h";
} // namespace detail

template <typename C, typename N, typename U>
class StringBase {
    static_assert(sizeof(C) == sizeof(U), "sizes are counted in units of the text's size");
    static_assert(std::is_trivially_copyable<C>::value, "units are copied as values");

    // Selects the narrow-text constructors of a wide string only.
    template <typename M>
    using IfConverting = std::enable_if_t<!std::is_same<M, C>::value, int>;

public:
    // The empty string.
    StringBase() { copyFrom(nullptr, 0); }

    // Copies text up to its terminator; null gives the empty string.
    StringBase(const C* text) { copyFrom(text, text == nullptr ? 0 : countUnits(text)); }

    // Copies exactly count units of text (zeros included). Null text with a
    // count other than 0 throws InvalidArgument.
    StringBase(const C* text, uint32_t count) {
        requireText(text, count);
        copyFrom(text, count);
    }

    // Converts narrow text up to its terminator with AnsiToWide under the
    // default locale and code page 0; null gives the empty string.
    template <typename M = N, IfConverting<M> = 0>
    explicit StringBase(const N* narrow) {
        if (narrow == nullptr) {
            copyFrom(nullptr, 0);
        } else {
            convertFrom(narrow, countUnits(narrow));
        }
    }

    // Converts exactly byteCount bytes of narrow text (zeros included).
    // Null text with a count other than 0 throws InvalidArgument.
    template <typename M = N, IfConverting<M> = 0>
    StringBase(const N* narrow, uint32_t byteCount) {
        requireText(narrow, byteCount);
        convertFrom(narrow, byteCount);
    }

    StringBase(const StringBase& other) { copyFrom(other.c_str(), other.length()); }

    // Takes other's block; other is left without one, fit only to be
    // destroyed or assigned to (it reads as the empty string meanwhile).
    StringBase(StringBase&& other) noexcept { swap(other); }

    ~StringBase() { Deallocate(m_begin); }

    StringBase& operator=(const StringBase& other) {
        if (this != &other) {
            StringBase copy(other);
            swap(copy);
        }
        return *this;
    }

    StringBase& operator=(StringBase&& other) noexcept {
        if (this != &other) {
            StringBase taken(std::move(other));
            swap(taken);
        }
        return *this;
    }

    void swap(StringBase& other) noexcept {
        std::swap(m_begin, other.m_begin);
        std::swap(m_end, other.m_end);
        std::swap(m_storageEnd, other.m_storageEnd);
    }

    uint32_t length() const { return uint32_t(m_end - m_begin); }
    bool empty() const { return m_end == m_begin; }
    const C* c_str() const { return m_begin != nullptr ? m_begin : &k_terminator; }

    // Case-insensitive three-way comparison: the difference of the first
    // pair of folded units that differ, else negative when this string is a
    // prefix of other, positive when other is a prefix of this one, 0 when
    // both are equal but for case.
    int32_t compare(const StringBase& other) const {
        const C* mine = m_begin;
        const C* theirs = other.m_begin;
        uint32_t mineLeft = length();
        uint32_t theirsLeft = other.length();
        for (; mineLeft != 0 && theirsLeft != 0; --mineLeft, --theirsLeft) {
            const C a = *mine++;
            const C b = *theirs++;
            if (a == b) {
                continue; // equal units fold alike: toupper only where they differ
            }
            const int32_t difference = foldCase(a) - foldCase(b);
            if (difference != 0) {
                return difference;
            }
        }
        return lengthDifference(mineLeft, theirsLeft);
    }

    bool operator<(const StringBase& other) const { return compare(other) < 0; }
    // Equal but for case, as the ordered containers see it.
    bool operator==(const StringBase& other) const { return compare(other) == 0; }
    bool operator!=(const StringBase& other) const { return compare(other) != 0; }

private:
    static constexpr C k_terminator = C(0);

    static void requireText(const void* text, uint32_t count) {
        if (text == nullptr && count != 0) {
            throw exception::InvalidArgument(detail::k_stringBaseFile, __LINE__);
        }
    }

    template <typename T>
    static uint32_t countUnits(const T* text) {
        return NumericCast<uint32_t>(std::char_traits<T>::length(text));
    }

    // A block for length units and the terminator.
    static C* allocateUnits(uint32_t length) {
        const uint32_t bytes = ((SafeInteger(length) + 1u) * uint32_t(sizeof(U))).get();
        return static_cast<C*>(Allocate(bytes));
    }

    void copyFrom(const C* text, uint32_t length) {
        C* block = allocateUnits(length);
        if (length != 0) {
            std::char_traits<C>::copy(block, text, length);
        }
        take(block, block + length, block + length);
    }

    void convertFrom(const N* narrow, uint32_t byteCount) {
        static_assert(std::is_same<C, char16_t>::value && std::is_same<N, char>::value,
                      "narrow text converts into 16-bit wide text");
        const char* narrowEnd = narrow + byteCount;
        const uint32_t count = osdep::AnsiToWideSize(narrow, narrowEnd, "", 0);
        C* block = allocateUnits(count);
        C* written = block + count;
        try {
            osdep::AnsiToWide(narrow, narrowEnd, "", 0, block, written);
        } catch (...) {
            Deallocate(block);
            throw;
        }
        take(block, written, block + count);
    }

    void take(C* block, C* end, C* storageEnd) {
        m_begin = block;
        m_end = end;
        m_storageEnd = storageEnd;
        *m_end = C(0);
    }

    static int32_t foldCase(C unit) {
        const uint32_t value = static_cast<std::make_unsigned_t<C>>(unit);
        return value <= 0xFF ? std::toupper(int(value)) : int32_t(value);
    }

    // Units left in the first minus units left in the second, kept within
    // 32 bits for narrow texts longer than 2^31.
    static int32_t lengthDifference(uint32_t first, uint32_t second) {
        const int64_t difference = int64_t(first) - int64_t(second);
        if (difference > INT32_MAX) {
            return INT32_MAX;
        }
        if (difference < INT32_MIN) {
            return INT32_MIN;
        }
        return int32_t(difference);
    }

    C* m_begin = nullptr;
    C* m_end = nullptr;
    C* m_storageEnd = nullptr;
};

// The system's wide string: 16-bit code units in the processor's byte order.
using WideString = StringBase<char16_t, char, char16_t>;
// Narrow texts such as operating-system messages.
using NarrowString = StringBase<char, char, char>;

} // namespace kr::tarn
