// Host threads convert, copy and compare strings at the same time: they
// share only the loader's table and the default locale, which are built at
// load time and only read afterwards.
#include "tarn/StringBase.h"
#include "tarn/osdep/CharacterAttributes.h"
#include "tarn/osdep/OSException.h"
#include "tarn/osdep/RTSymbolLoader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <set>
#include <thread>
#include <vector>

namespace {

using namespace kr::tarn;

TEST(ConcurrentStrings, ThreadsConvertAndOrderNamesIndependently) {
    constexpr int k_threads = 4;
    constexpr int k_rounds = 200;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < k_threads; ++t) {
        threads.emplace_back([t, &failures] {
            for (int round = 0; round < k_rounds; ++round) {
                std::set<WideString> names;
                names.insert(WideString("Camera"));
                names.insert(WideString("CAMERA"));
                names.insert(WideString(t % 2 == 0 ? "grabber" : "Grabber"));
                const WideString copy = *names.begin();
                if (names.size() != 2 || copy.compare(WideString(u"camera")) != 0 ||
                    osdep::RTSymbolLoader::instance().multiByteToWideChar != nullptr ||
                    osdep::GetDefaultSystemLocale().name().empty()) {
                    ++failures;
                }
                errno = ENOENT + t; // each thread's errno is its own
                if (osdep::PosixError().whatcode() != ENOENT + t) {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(0, failures.load());
}

} // namespace
