// The fuzz target's checks. A broken one names itself on stderr and aborts,
// which the fuzzer reports as a crash and keeps the input for (and which
// fails the corpus replay test).
#pragma once

#include <cstdio>
#include <cstdlib>

#define KR_FUZZ_REQUIRE(condition)                                                                 \
    ((condition) ? void(0) : ::expertfuzz::checkFailed(#condition, __FILE__, __LINE__))

namespace expertfuzz {

[[noreturn]] inline void checkFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: expert fuzz check failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace expertfuzz
