// Replays every input of the expert's seed corpus through the fuzz target,
// so that the builds without libFuzzer (every sanitizer, the big-endian
// cross build) check them too, and an input that once found a fault keeps
// being checked.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

TEST(ExpertCorpusReplay, EveryInputRunsWithoutFault) {
    size_t replayed = 0;
    for (const auto& item : std::filesystem::directory_iterator(KR_EXPERT_FUZZ_CORPUS)) {
        if (!item.is_regular_file()) {
            continue;
        }
        std::ifstream input(item.path(), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(input)),
                                         std::istreambuf_iterator<char>());
        SCOPED_TRACE(item.path().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++replayed;
    }
    EXPECT_GE(replayed, 5u) << "the corpus at " << KR_EXPERT_FUZZ_CORPUS << " looks empty";
}

} // namespace
