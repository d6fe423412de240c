// Length-prefixed wide strings: every string handed to the host is one.
// The block holds a 32-bit count of characters, the characters and a zero
// unit; the pointer handed out points at the first character. Blocks come
// from malloc; BStrFree gives them back.
#pragma once

#include <cstdint>

// A copy of a zero-terminated text; null for a null text or when memory or
// the 32-bit size runs out.
char16_t* BStrAlloc(const char16_t* text);

// A copy of exactly count units of text (text is not null); null when the
// block size does not fit in 32 bits or the allocation fails.
char16_t* BStrAllocLen(const char16_t* text, uint32_t count);

// Frees a string made by BStrAlloc or BStrAllocLen; null is ignored.
void BStrFree(char16_t* str);

// The character count stored before the first character.
uint32_t BStrLen(const char16_t* str);
