// An owning holder of a length-prefixed wide string (see BStr.h).
#pragma once

#include "contract/BStr.h"

#include <new>

class CkrBStr {
public:
    CkrBStr() = default;

    // A private copy of text; null stays null. Throws std::bad_alloc when a
    // non-null text cannot be copied, so a copy never silently turns into null.
    explicit CkrBStr(const char16_t* text) : str(copyOf(text)) {}

    CkrBStr(const CkrBStr& other) : str(copyOf(other.str)) {}
    CkrBStr(CkrBStr&& other) noexcept : str(other.Detach()) {}

    // The new copy is made before the held string is freed: when the copy
    // fails (std::bad_alloc), the holder keeps what it had.
    CkrBStr& operator=(const CkrBStr& other) {
        if (this != &other) {
            char16_t* copy = copyOf(other.str);
            Empty();
            str = copy;
        }
        return *this;
    }

    CkrBStr& operator=(CkrBStr&& other) noexcept {
        if (this != &other) {
            Empty();
            str = other.Detach();
        }
        return *this;
    }

    ~CkrBStr() { Empty(); }

    void Empty() {
        BStrFree(str);
        str = nullptr;
    }

    // Hands the string to the caller, who frees it with BStrFree.
    char16_t* Detach() {
        char16_t* held = str;
        str = nullptr;
        return held;
    }

    // Lets an operation with a char16_t** result deliver into the holder.
    char16_t** Address() {
        Empty();
        return &str;
    }

    char16_t* str = nullptr;

private:
    static char16_t* copyOf(const char16_t* text) {
        if (text == nullptr) {
            return nullptr;
        }
        char16_t* copy = BStrAlloc(text);
        if (copy == nullptr) {
            throw std::bad_alloc();
        }
        return copy;
    }
};
