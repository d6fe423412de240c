// The fuzz target's checks. A broken one names itself on stderr and aborts,
// which the fuzzer reports as a crash and keeps the input for (and which
// fails the corpus replay test).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <optional>

#define KR_FUZZ_REQUIRE(condition)                                                                 \
    ((condition) ? void(0) : ::expertfuzz::checkFailed(#condition, __FILE__, __LINE__))

namespace expertfuzz {

[[noreturn]] inline void checkFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: expert fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

// What a hostkit reader gave, which must be something: a string or an
// enumerator that broke its contract is a failed check.
template <class T>
T required(std::optional<T> read, const char* what) {
    if (!read) {
        checkFailed(what, __FILE__, __LINE__);
    }
    return std::move(*read);
}

} // namespace expertfuzz
