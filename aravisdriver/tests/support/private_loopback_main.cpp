// Test programs that run fake cameras enter their private network namespace
// before anything else can start a thread.
#include "PrivateLoopback.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    // GLib's slice allocator hands blocks between threads through caches
    // guarded by its own futex locks, which ThreadSanitizer cannot see; with
    // plain malloc it sees every hand-over. GLib reads the setting when it is
    // loaded, before main, so the program starts itself again with it set.
    if (std::getenv("G_SLICE") == nullptr) {
        setenv("G_SLICE", "always-malloc", 1);
        execv("/proc/self/exe", argv);
        std::perror("running the tests again with G_SLICE=always-malloc");
    }
    const std::string unavailable = EnterPrivateLoopback(kLoopbackAddresses);
    testing::InitGoogleTest(&argc, argv);
    if (!unavailable.empty()) {
        std::fprintf(stderr, "camera tests skipped: %s\n", unavailable.c_str());
    }
    return RUN_ALL_TESTS();
}
