// Reading a whole number from text, shared by the readers of arguments,
// options and files so that every one refuses the same things.
#pragma once

#include <charconv>
#include <string_view>
#include <system_error>

// Reads all of text as a number in that base: no sign, blank or prefix; false
// for anything else or a number beyond T. *value may have changed even when
// false, so read into a local and keep it only on success.
template <class T>
bool parseWhole(std::string_view text, int base, T* value) {
    const char* end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, *value, base);
    return read.ec == std::errc() && read.ptr == end;
}
