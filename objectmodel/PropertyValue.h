// The values a property bag stores, each held in place in the bag's entry
// rather than as a heap object of its own: the type tag and a value of that
// type. A string is an owned length-prefixed string (null stays null). A
// stored value's kind is told by its type tag, which also answers
// GetPropertyType; each kind is only ever stored with its own tag.
#pragma once

#include "contract/BStr.h"
#include "contract/Guid.h"
#include "contract/oxSysTypes.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

// The type tag each stored kind carries.
template <class T>
struct KRPropertyTypeOf;
template <>
struct KRPropertyTypeOf<bool> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Boolean;
};
template <>
struct KRPropertyTypeOf<int32_t> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Integer;
};
template <>
struct KRPropertyTypeOf<uint32_t> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_UnsignedInteger;
};
template <>
struct KRPropertyTypeOf<double> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Double;
};
template <>
struct KRPropertyTypeOf<_GUID> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_Guid;
};
template <>
struct KRPropertyTypeOf<oxSysAttrTimestampUTC> {
    static constexpr oxSysAttributeType value = oxSysAttributeType_TimestampUTC;
};

class CoxPropertyValue {
public:
    // A plain value: boolean, integer, unsigned integer, double, GUID or UTC
    // timestamp, copied in full.
    template <class T>
    static CoxPropertyValue Of(const T& plain) {
        CoxPropertyValue made(KRPropertyTypeOf<T>::value);
        made.as<T>() = plain;
        return made;
    }

    // A private copy of text; null stays null. Throws std::bad_alloc when a
    // non-null text cannot be copied, so a copy never silently turns into null.
    static CoxPropertyValue String(const char16_t* text) {
        CoxPropertyValue made(oxSysAttributeType_String);
        if (text != nullptr) {
            made.value.text = BStrAlloc(text);
            if (made.value.text == nullptr) {
                throw std::bad_alloc();
            }
        }
        return made;
    }

    // A copy of another value, strings copied anew (std::bad_alloc as above).
    CoxPropertyValue(const CoxPropertyValue& other) : type(other.type), value(other.value) {
        if (type == oxSysAttributeType_String) {
            value.text = CopyOfText(other.value.text);
        }
    }

    CoxPropertyValue(CoxPropertyValue&& other) noexcept : type(other.type), value(other.value) {
        other.type = oxSysAttributeType_Boolean; // owns no text any more
    }

    CoxPropertyValue& operator=(CoxPropertyValue&& other) noexcept {
        if (this != &other) {
            freeText();
            type = other.type;
            value = other.value;
            other.type = oxSysAttributeType_Boolean;
        }
        return *this;
    }

    CoxPropertyValue& operator=(const CoxPropertyValue&) = delete;

    ~CoxPropertyValue() { freeText(); }

    oxSysAttributeType GetType() const { return type; }

    // The plain value of kind T; only for a value whose tag is T's.
    template <class T>
    const T& Get() const {
        return const_cast<CoxPropertyValue*>(this)->as<T>();
    }

    // The stored text, still owned by the value; only for a string.
    const char16_t* Text() const { return value.text; }

    // A fresh length-prefixed copy of a stored text for a caller to own;
    // null stays null. Throws std::bad_alloc when it cannot be made.
    // The stored length saves counting the characters again.
    static char16_t* CopyOfText(const char16_t* text) {
        if (text == nullptr) {
            return nullptr;
        }
        char16_t* copy = BStrAllocLen(text, BStrLen(text));
        if (copy == nullptr) {
            throw std::bad_alloc();
        }
        return copy;
    }

private:
    // Every byte of the value zero: a null text, whatever the compiler makes
    // of an empty union initializer.
    explicit CoxPropertyValue(oxSysAttributeType valueType) : type(valueType) {
        std::memset(&value, 0, sizeof value);
    }

    template <class T>
    T& as() {
        if constexpr (std::is_same<T, bool>::value) {
            return value.boolean;
        } else if constexpr (std::is_same<T, int32_t>::value) {
            return value.integer;
        } else if constexpr (std::is_same<T, uint32_t>::value) {
            return value.unsignedInteger;
        } else if constexpr (std::is_same<T, double>::value) {
            return value.real;
        } else if constexpr (std::is_same<T, _GUID>::value) {
            return value.guid;
        } else {
            static_assert(std::is_same<T, oxSysAttrTimestampUTC>::value, "a plain value type");
            return value.time;
        }
    }

    void freeText() {
        if (type == oxSysAttributeType_String) {
            BStrFree(value.text);
        }
    }

    oxSysAttributeType type;
    union Storage {
        bool boolean;
        int32_t integer;
        uint32_t unsignedInteger;
        double real;
        _GUID guid;
        char16_t* text;
        oxSysAttrTimestampUTC time;
    } value;
};
